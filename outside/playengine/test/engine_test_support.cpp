#include "engine_test_support.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace enginetest {

namespace {
const char kLibrary[] = BR_BIN_DIR "/libPlayEngine.so";
}

void Receiver::SetHook(std::function<void(Kind)> hook) {
    std::lock_guard lock(mu_);
    hook_ = std::move(hook);
}

std::vector<Note> Receiver::Notes() {
    std::lock_guard lock(mu_);
    return notes_;
}

std::vector<Kind> Receiver::Kinds() {
    std::vector<Kind> kinds;
    for (const Note& note : Notes()) {
        kinds.push_back(note.kind);
    }
    return kinds;
}

bool Receiver::WaitForCount(size_t count, milliseconds limit) {
    std::unique_lock lock(mu_);
    return changed_.wait_for(lock, limit, [&] { return notes_.size() >= count; });
}

bool Receiver::WaitFor(Kind kind, milliseconds limit) {
    std::unique_lock lock(mu_);
    return changed_.wait_for(lock, limit, [&] {
        return std::any_of(notes_.begin(), notes_.end(),
                           [&](const Note& note) { return note.kind == kind; });
    });
}

std::vector<Kind> Receiver::PlayKinds() {
    std::vector<Kind> kinds;
    for (const Note& note : Notes()) {
        if (note.kind != Buffer) {
            kinds.push_back(note.kind);
        }
    }
    return kinds;
}

void Receiver::Record(Kind kind, int arg) {
    std::function<void(Kind)> hook;
    {
        std::lock_guard lock(mu_);
        hook = hook_;
    }
    if (hook) {
        hook(kind);
    }
    std::lock_guard lock(mu_);
    notes_.push_back(Note{kind, arg, std::this_thread::get_id(), Clock::now()});
    changed_.notify_all();
}

LoadedEngine::LoadedEngine() {
    library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library) {
        auto get = reinterpret_cast<GetPlayerCoreFunc>(dlsym(library, "GetPlayerCore"));
        core = get ? get() : nullptr;
    }
}

void LoadedEngine::Unload() {
    if (library) {
        dlclose(library);
        library = nullptr;
        core = nullptr;
    }
}

bool LibraryIsLoaded() {
    void* handle = dlopen(kLibrary, RTLD_NOW | RTLD_NOLOAD);
    if (handle) {
        dlclose(handle);
    }
    return handle != nullptr;
}

void PlayEngineTest::SetUp() {
    ASSERT_NE(engine_.library, nullptr) << dlerror();
    ASSERT_NE(engine_.core, nullptr);
    core_ = engine_.core;
    ASSERT_EQ(core_->Init(&receiver_, 0, 0, 0), PE_OK);
    ASSERT_EQ(core_->GetPlayObject(&object_), PE_OK);
    ASSERT_NE(object_, nullptr);
}

void PlayEngineTest::TearDown() {
    if (core_) {
        core_->UnInit();
    }
    engine_.Unload();
}

std::string PlayEngineTest::WriteFile(const std::string& name, const std::string& bytes) {
    std::string path = root_.Path() + "/" + name;
    EXPECT_TRUE(brtest::WriteFile(path, bytes));
    return path;
}

int PlayEngineTest::Open(const std::string& location) {
    PlayRequest request;
    Put(request.itemText1, location);
    return core_->Open(&request);
}

std::string PlayEngineTest::Text(void (IPlayObject::*getter)(char*)) {
    char buffer[PLAY_OBJECT_TEXT_SIZE];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    (object_->*getter)(buffer);
    return buffer;
}

}  // namespace enginetest
