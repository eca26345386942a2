# Every target of the project compiles with warnings as errors on both compilers.
function(brevatone_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor)
endfunction()
