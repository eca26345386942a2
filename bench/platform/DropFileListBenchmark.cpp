// Reading a dropped list of 100000 wide file names, as a hostile or careless drag source may offer:
// the whole list is checked, and at most the bound of names is kept. One drop should cost far
// less than a second.
#include "platform/DropFileList.h"

#include "DropFilesBlock.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void readHundredThousandNames(benchmark::State& state) {
    const std::vector<unsigned char> block =
        dropFilesBlock(std::vector<std::u16string>(100000, u"C:\\Users\\someone\\Music\\loops\\beat.rex"));
    for (auto _ : state) {
        const DropFileList list(block.data(), block.size());
        benchmark::DoNotOptimize(list.wideNames().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(block.size()));
}
BENCHMARK(readHundredThousandNames)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
