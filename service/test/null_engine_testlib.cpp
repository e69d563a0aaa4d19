// A player engine library whose export gives no core, for the player-core stub's tests.
class IPlayerCore;

extern "C" __attribute__((visibility("default"))) IPlayerCore* GetPlayerCore() {
    return nullptr;
}
