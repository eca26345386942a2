// Saving and restoring the loop through the host's path mapping, as a session that moves does.
#include "Lv2TestHost.h"
#include "VariedLoop.h"
#include "lv2/Lv2Identity.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

// Abstract paths name the session's loop folder as "LOOPS/"; each host maps it to its own folder.
struct FolderMap {
    std::string folder;
    LV2_State_Map_Path feature{this, abstractPath, absolutePath};

    static char* abstractPath(LV2_State_Map_Path_Handle handle, const char* absolute) {
        const std::string& folder = static_cast<FolderMap*>(handle)->folder;
        const std::string path = absolute;
        const std::string rewritten =
            path.rfind(folder + "/", 0) == 0 ? "LOOPS/" + path.substr(folder.size() + 1) : path;
        return strdup(rewritten.c_str());
    }
    static char* absolutePath(LV2_State_Map_Path_Handle handle, const char* abstract) {
        const std::string path = abstract;
        const std::string rewritten =
            path.rfind("LOOPS/", 0) == 0 ? static_cast<FolderMap*>(handle)->folder + "/" + path.substr(6) : path;
        return strdup(rewritten.c_str());
    }
};

struct Stored {
    std::uint32_t type = 0;
    std::string value;
};
using Store = std::map<std::uint32_t, Stored>;

LV2_State_Status store(LV2_State_Handle handle, std::uint32_t key, const void* value, std::size_t size,
                       std::uint32_t type, std::uint32_t) {
    (*static_cast<Store*>(handle))[key] = {type, std::string(static_cast<const char*>(value), size)};
    return LV2_STATE_SUCCESS;
}

const void* retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size, std::uint32_t* type,
                     std::uint32_t* flags) {
    const Store& saved = *static_cast<Store*>(handle);
    const auto found = saved.find(key);
    if (found == saved.end()) return nullptr;
    *size = found->second.value.size();
    *type = found->second.type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return found->second.value.data();
}

Store save(Lv2TestHost& host, FolderMap& map) {
    Store saved;
    const LV2_Feature mapFeature = {LV2_STATE__mapPath, &map.feature};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    EXPECT_EQ(host.stateInterface()->save(host.handle(), store, &saved, 0, features), LV2_STATE_SUCCESS);
    return saved;
}

void restore(Lv2TestHost& host, FolderMap& map, Store& saved, const LV2_Feature* worker = nullptr) {
    const LV2_Feature mapFeature = {LV2_STATE__mapPath, &map.feature};
    const LV2_Feature* features[] = {&mapFeature, worker, nullptr};
    EXPECT_EQ(host.stateInterface()->restore(host.handle(), retrieve, &saved, 0, features), LV2_STATE_SUCCESS);
}

std::vector<float> playNotes(Lv2TestHost& host) {
    std::vector<float> sound;
    for (std::uint8_t note = 36; note < 44; ++note) {
        host.midi(3, 0x90, note, 90);
        const std::vector<float> block = host.run(512);
        sound.insert(sound.end(), block.begin(), block.end());
    }
    return sound;
}

std::string readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A disk that takes no file larger than `bytes` while this lives: writes beyond fail instead of
// ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uintmax_t bytes) : previousHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous{};
    void (*previousHandler)(int);
};

std::string savedPath(const Store& saved) {
    const auto found = saved.find(Lv2TestHost::map(Lv2Identity::loopPropertyUri));
    return found == saved.end() ? std::string() : std::string(found->second.value.c_str());
}

}  // namespace

TEST(Lv2State, TheLoopTravelsAsAMappedPathAndLoadsFromWhereTheSessionMovedIt) {
    TempDir first, second;
    const std::string loop = writeVariedLoop(first, "session.rex");
    Lv2TestHost original;
    ASSERT_TRUE(original.ready());
    original.setLoop(loop);
    original.run(16);
    FolderMap before{first.path().string()};
    Store saved = save(original, before);
    EXPECT_EQ(savedPath(saved), "LOOPS/session.rex");
    EXPECT_EQ(saved[Lv2TestHost::map(Lv2Identity::loopPropertyUri)].type, Lv2TestHost::map(LV2_ATOM__Path));

    std::filesystem::rename(loop, second.file("session.rex"));
    FolderMap after{second.path().string()};
    const std::vector<float> expected = playNotes(original);
    ASSERT_NE(expected, std::vector<float>(expected.size(), 0.0f));
    // A worker passed to restore is used only beside a running instance, as jalv expects of a plug-in
    // with thread-safe restore; one without a schedule function is no worker.
    enum class Worker { none, working, withoutFunction };
    LV2_Worker_Schedule withoutFunction{nullptr, nullptr};
    const LV2_Feature withoutFunctionFeature = {LV2_WORKER__schedule, &withoutFunction};
    for (const bool active : {false, true}) {
        for (const Worker worker : {Worker::none, Worker::working, Worker::withoutFunction}) {
            SCOPED_TRACE(testing::Message() << "active " << active << ", worker " << static_cast<int>(worker));
            Lv2TestHost restored(Lv2TestHost::Setup{true, 44100.0, 0, active});
            ASSERT_TRUE(restored.ready());
            const LV2_Feature* feature = worker == Worker::working           ? restored.workerFeature()
                                         : worker == Worker::withoutFunction ? &withoutFunctionFeature
                                                                             : nullptr;
            restore(restored, after, saved, feature);
            EXPECT_EQ(restored.scheduled, active && worker == Worker::working ? 1 : 0);
            if (!active) restored.activate();
            restored.run(16);
            restored.run(16);
            EXPECT_EQ(restored.announcedLoop, second.file("session.rex"));
            EXPECT_EQ(playNotes(restored), expected);
        }
    }
}

TEST(Lv2State, ARestoredLoopThatIsGoneLeavesSilenceAndKeepsItsPath) {
    TempDir folder;
    const std::string loop = writeVariedLoop(folder, "gone.rex");
    FolderMap map{folder.path().string()};
    Lv2TestHost original;
    ASSERT_TRUE(original.ready());
    original.setLoop(loop);
    original.run(16);
    Store saved = save(original, map);
    std::filesystem::remove(loop);

    Lv2TestHost restored;
    ASSERT_TRUE(restored.ready());
    restore(restored, map, saved);
    const std::vector<float> sound = playNotes(restored);
    EXPECT_EQ(sound, std::vector<float>(sound.size(), 0.0f));
    EXPECT_EQ(savedPath(save(restored, map)), "LOOPS/gone.rex");
    // The host's log says which loop is missing.
    ASSERT_FALSE(restored.logLines.empty());
    EXPECT_NE(restored.logLines.back().find(loop), std::string::npos) << restored.logLines.back();
}

TEST(Lv2State, AValueOfAnotherTypeIsRefused) {
    Lv2TestHost host;
    ASSERT_TRUE(host.ready());
    Store saved;
    saved[Lv2TestHost::map(Lv2Identity::loopPropertyUri)] = {Lv2TestHost::map(LV2_ATOM__String), "loop.rex"};
    FolderMap map{"/nowhere"};
    const LV2_Feature mapFeature = {LV2_STATE__mapPath, &map.feature};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    EXPECT_EQ(host.stateInterface()->restore(host.handle(), retrieve, &saved, 0, features), LV2_STATE_ERR_BAD_TYPE);
}

TEST(Lv2State, WhereTheHostOffersAPlaceTheLoopIsCopiedIntoTheSession) {
    TempDir outside, session;
    const std::string loop = writeVariedLoop(outside, "outside.rex");
    Lv2TestHost host;
    ASSERT_TRUE(host.ready());
    host.setLoop(loop);
    host.run(16);

    FolderMap map{session.path().string()};
    // The place is the session folder; a host answers a fresh string for each request.
    struct Place {
        std::string folder;
        static char* path(LV2_State_Make_Path_Handle handle, const char* name) {
            return strdup((static_cast<Place*>(handle)->folder + "/" + name).c_str());
        }
    } place{session.path().string()};
    LV2_State_Make_Path makePath{&place, Place::path};
    const LV2_Feature mapFeature = {LV2_STATE__mapPath, &map.feature};
    const LV2_Feature makeFeature = {LV2_STATE__makePath, &makePath};
    const LV2_Feature* features[] = {&mapFeature, &makeFeature, nullptr};
    const auto saveInto = [&] {
        Store saved;
        EXPECT_EQ(host.stateInterface()->save(host.handle(), store, &saved, 0, features), LV2_STATE_SUCCESS);
        return savedPath(saved);
    };
    const auto inode = [](const std::string& path) {
        struct stat status {};
        return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
    };
    const std::string copy = session.file("outside.rex");
    EXPECT_EQ(saveInto(), "LOOPS/outside.rex");
    EXPECT_EQ(std::filesystem::file_size(copy), std::filesystem::file_size(loop));
    const auto firstCopy = inode(copy);

    // Saving again finds its own copy untouched and makes none; a host that offers a new place for
    // each save gets the same copy linked there.
    EXPECT_EQ(saveInto(), "LOOPS/outside.rex");
    EXPECT_EQ(inode(copy), firstCopy);
    std::filesystem::create_directory(session.file("next"));
    place.folder = session.file("next");
    EXPECT_EQ(saveInto(), "LOOPS/next/outside.rex");
    EXPECT_EQ(inode(session.file("next/outside.rex")), firstCopy);
    place.folder = session.path().string();

    // A different file of the same name that cannot be written whole (the disk is full) leaves the
    // earlier copy as it was, and the state names the loop where it lies.
    TempDir elsewhere;
    const std::string bigger = writeLoopFile(elsewhere, "outside.rex", eightSliceLoop(65536));
    host.setLoop(bigger);
    host.run(16);
    const std::string before = readAll(copy);
    {
        const FileSizeLimit full(std::filesystem::file_size(loop) + 1024);
        EXPECT_EQ(saveInto(), bigger);
    }
    EXPECT_EQ(readAll(copy), before);
    EXPECT_EQ(saveInto(), "LOOPS/outside.rex");
    EXPECT_EQ(readAll(copy), readAll(bigger));

    // A path that names something far larger than any loop is never copied.
    const std::string huge = elsewhere.file("huge.rex");
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, std::uintmax_t{1} << 32);
    Store named;
    named[Lv2TestHost::map(Lv2Identity::loopPropertyUri)] = {Lv2TestHost::map(LV2_ATOM__Path), huge + '\0'};
    restore(host, map, named);
    EXPECT_EQ(saveInto(), huge);
    EXPECT_FALSE(std::filesystem::exists(session.file("huge.rex")));
}
