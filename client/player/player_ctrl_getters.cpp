// CPlayerCtrl's getters: each one the play object's value under the one getter rule.
#include "player_ctrl.h"

template <typename Read>
bool CPlayerCtrl::ReadPlayObject(int& out, Read read) {
    out = 0;
    if (core == nullptr) {
        return false;
    }
    IPlayObject* object = nullptr;
    if (core->GetPlayObject(&object) != 0 || object == nullptr) {
        return false;
    }
    out = read(*object);
    return true;
}

bool CPlayerCtrl::GetVolume(int& out) {
    return ReadPlayObject(out, [](IPlayObject& object) { return object.GetVolume(); });
}

bool CPlayerCtrl::GetDuration(int& out) {
    return ReadPlayObject(out, [](IPlayObject& object) { return object.GetDuration(); });
}

bool CPlayerCtrl::GetPosition(int& out) {
    return ReadPlayObject(out, [](IPlayObject& object) { return object.GetPosition(); });
}

bool CPlayerCtrl::GetBufferPair(int& out) {
    return ReadPlayObject(out, [](IPlayObject& object) {
        int first = 0;
        int second = 0;
        object.GetBufferInfo(&first, &second);
        return first;
    });
}

bool CPlayerCtrl::GetBufferingProgress(int& out) {
    int progress = 0;
    GetBufferPair(progress);
    out = progress;
    return true;
}

bool CPlayerCtrl::QueryItemValue(int code, int& out) {
    return ReadPlayObject(out, [code](IPlayObject& object) {
        switch (code) {
            case 0:
                return object.GetNumberH();
            case 1:
                return object.GetNumberA();
            case 2:
                return object.GetNumberB();
            default:
                return 0;
        }
    });
}
