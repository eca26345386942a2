// libFuzzer target: any bytes offered as a dropped file list (the DROPFILES block a drag source
// fills) or as dropped text are read within the block, and give names that fit their buffers.
#include "FuzzFiles.h"
#include "platform/DropFileList.h"
#include "platform/DropRules.h"

#include <vector>

namespace {

template <typename Name>
void checkNames(const std::vector<Name>& names) {
    fuzzing::require(names.size() <= DropFileList::maxNames);
    for (const Name& name : names) {
        fuzzing::require(!name.empty() && name.size() < DropFileList::nameCapacity);
        fuzzing::require(name.find(typename Name::value_type{0}) == Name::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The block exactly as large as the source says, so that any read past it is reported.
    const std::vector<std::uint8_t> block(data, data + size);
    const DropFileList list(block.data(), block.size());
    if (!list.isValid()) {
        fuzzing::require(list.narrowNames().empty() && list.wideNames().empty());
    } else if (list.isWide()) {
        checkNames(list.wideNames());
        for (const std::u16string& name : list.wideNames()) {
            DropRules::namesDriveOrShareFile(name);
            DropRules::isShortcutName(name);
        }
    } else {
        checkNames(list.narrowNames());
    }
    const std::vector<char> text = DropRules::terminatedText(block.data(), block.size());
    fuzzing::require(text.empty() || text.back() == '\0');
    return 0;
}
