#include "runtime_class.h"

#include <cstring>

namespace {

// The head of the list of records; each AFX_CLASSINIT links one in during static start-up.
const CRuntimeClass*& FirstClass() {
    static const CRuntimeClass* first = nullptr;
    return first;
}

}  // namespace

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF,
                                       nullptr,   nullptr,         nullptr};
static const AFX_CLASSINIT afx_init_CObject(&CObject::classCObject);

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) {
    pNewClass->m_pNextClass = FirstClass();
    FirstClass() = pNewClass;
}

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass) {
        if (c == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName) {
    if (!lpszClassName)
        return nullptr;
    for (const CRuntimeClass* c = FirstClass(); c; c = c->m_pNextClass) {
        if (std::strcmp(c->m_lpszClassName, lpszClassName) == 0)
            return c;
    }
    return nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR lpszClassName) {
    const CRuntimeClass* c = FromName(lpszClassName);
    return c ? c->CreateObject() : nullptr;
}

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}
