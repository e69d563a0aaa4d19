// Run-time class records: each class that declares one can name its class, tell whether it
// derives from another, and (with DECLARE_DYNCREATE) be created by name.
#pragma once

#include <new>

#include "windows.h"

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                   // 0xFFFF for classes that are not serialised
    CObject* (*m_pfnCreateObject)();  // null for a class that cannot be created by name
    const CRuntimeClass* m_pBaseClass;
    const CRuntimeClass* m_pNextClass;  // the list of records, built as the program starts

    // A new object of the class; null when the class cannot be created by name or the
    // allocation fails.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // The record of a class by its name (compared exactly); null when none is known.
    static const CRuntimeClass* FromName(LPCSTR lpszClassName);
    static CObject* CreateObject(LPCSTR lpszClassName);
};

// Links a record into the list that FromName searches; a static object of each record's class.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

// The root of the classes with run-time records.
class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    static CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)         \
public:                                     \
    static CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create)                    \
    CRuntimeClass class_name::class##class_name = {                                                \
        #class_name, sizeof(class_name), schema, create, RUNTIME_CLASS(base_class_name), nullptr}; \
    static const AFX_CLASSINIT afx_init_##class_name(&class_name::class##class_name);              \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                                     \
        return RUNTIME_CLASS(class_name);                                                          \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

// The object is made with new (std::nothrow): a failed allocation gives null, not an exception.
#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() {                \
        return new (std::nothrow) class_name;            \
    }                                                    \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)
