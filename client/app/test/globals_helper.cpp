// The program's globals as a program holds them: every destructor registration of the
// program's own code goes through the wrapper below (linked with --wrap=__cxa_atexit), which
// notes the program's six globals in the order they register and names each again as its
// destructor runs. Prints "built A B ..." from main, then "destroyed X" per destructor at exit.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "brdj_app.h"
#include "debug_log.h"
#include "dir_and_ini.h"
#include "media_play.h"
#include "player_ctrl.h"
#include "program_globals.h"

extern "C" int __real___cxa_atexit(void (*destructor)(void*), void* object, void* dso);

namespace {

struct Registration {
    void (*destructor)(void*);
    void* object;
};
// Zero-initialised before any constructor runs.
Registration g_registered[256];
int g_count;

const char* NameOf(const void* object) {
    const struct {
        const void* object;
        const char* name;
    } globals[] = {{&theApp, "theApp"},
                   {&g_strSwfPath, "g_strSwfPath"},
                   {&g_Log, "g_Log"},
                   {&g_PlayerCore, "g_PlayerCore"},
                   {&g_MediaPlay, "g_MediaPlay"},
                   {&g_strWorkDir, "g_strWorkDir"}};
    for (const auto& g : globals)
        if (g.object == object)
            return g.name;
    return nullptr;
}

void Say(const char* text) {
    ssize_t written = write(STDOUT_FILENO, text, std::strlen(text));
    (void)written;
}

// Runs in place of a registered destructor: names the global, then destroys it.
void Trampoline(void* slot) {
    const Registration& r = *static_cast<Registration*>(slot);
    if (const char* name = NameOf(r.object)) {
        Say("destroyed ");
        Say(name);
        Say("\n");
    }
    r.destructor(r.object);
}

}  // namespace

extern "C" int __wrap___cxa_atexit(void (*destructor)(void*), void* object, void* dso) {
    if (g_count == int(sizeof g_registered / sizeof g_registered[0]))
        return __real___cxa_atexit(destructor, object, dso);
    Registration& slot = g_registered[g_count++];
    slot = {destructor, object};
    return __real___cxa_atexit(&Trampoline, &slot, dso);
}

int main() {
    std::string built = "built";
    for (int i = 0; i < g_count; ++i)
        if (const char* name = NameOf(g_registered[i].object))
            built += std::string(" ") + name;
    std::printf("%s\n", built.c_str());
    std::fflush(stdout);
    return 0;
}
