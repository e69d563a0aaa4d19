// Security descriptors. The layer applies no access control of its own (every object lives under
// the user's private runtime root), so the descriptor only records what it is given.
#include <cstring>

#include "windows.h"

// Differs from Windows: the descriptor only records its arguments; nothing applies access control.
BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR pSecurityDescriptor, DWORD dwRevision) {
    if (!pSecurityDescriptor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (dwRevision != SECURITY_DESCRIPTOR_REVISION) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return FALSE;
    }
    auto* descriptor = static_cast<SECURITY_DESCRIPTOR*>(pSecurityDescriptor);
    std::memset(descriptor, 0, sizeof(*descriptor));
    descriptor->Revision = static_cast<BYTE>(dwRevision);
    return TRUE;
}

// Differs from Windows: the descriptor only records its arguments; nothing applies access control.
BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR pSecurityDescriptor, BOOL bDaclPresent,
                               PACL pDacl, BOOL bDaclDefaulted) {
    if (!pSecurityDescriptor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* descriptor = static_cast<SECURITY_DESCRIPTOR*>(pSecurityDescriptor);
    if (descriptor->Revision != SECURITY_DESCRIPTOR_REVISION) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return FALSE;
    }
    descriptor->Control &= static_cast<WORD>(~(SE_DACL_PRESENT | SE_DACL_DEFAULTED));
    descriptor->Dacl = nullptr;
    if (bDaclPresent) {
        descriptor->Control |= SE_DACL_PRESENT;
        descriptor->Dacl = pDacl;
        if (bDaclDefaulted) {
            descriptor->Control |= SE_DACL_DEFAULTED;
        }
    }
    return TRUE;
}
