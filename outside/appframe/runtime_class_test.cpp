// Run-time class records: creation by name, the record of the object's own class through a base
// pointer, derivation, and the classes that cannot be created by name.
#include <gtest/gtest.h>

#include <memory>

#include "appframe.h"

namespace runtime_class_test {

class CCreatable : public CWnd {
    DECLARE_DYNCREATE(CCreatable)
public:
    int constructed = 42;
};
IMPLEMENT_DYNCREATE(CCreatable, CWnd)

class CNamedOnly : public CCmdTarget {
    DECLARE_DYNAMIC(CNamedOnly)
};
IMPLEMENT_DYNAMIC(CNamedOnly, CCmdTarget)

}  // namespace runtime_class_test

namespace {

using runtime_class_test::CCreatable;
using runtime_class_test::CNamedOnly;

TEST(RuntimeClassTest, AClassIsCreatedByNameWithItsConstructorRun) {
    std::unique_ptr<CObject> object(CRuntimeClass::CreateObject("CCreatable"));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetRuntimeClass(), RUNTIME_CLASS(CCreatable));
    EXPECT_EQ(static_cast<CCreatable*>(object.get())->constructed, 42);
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(object->IsKindOf(RUNTIME_CLASS(CNamedOnly)));
}

TEST(RuntimeClassTest, TheRecordHoldsNameSizeSchemaAndBase) {
    const CRuntimeClass* record = RUNTIME_CLASS(CCreatable);
    EXPECT_STREQ(record->m_lpszClassName, "CCreatable");
    EXPECT_EQ(record->m_nObjectSize, int(sizeof(CCreatable)));
    EXPECT_EQ(record->m_wSchema, 0xFFFFu);
    EXPECT_EQ(record->m_pBaseClass, RUNTIME_CLASS(CWnd));
    EXPECT_EQ(CRuntimeClass::FromName("CCreatable"), record);
    EXPECT_EQ(CRuntimeClass::FromName("CWnd"), RUNTIME_CLASS(CWnd));
}

TEST(RuntimeClassTest, UnknownNamesAndClassesWithoutCreationGiveNull) {
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("ccreatable"), nullptr) << "names compare exactly";
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
    EXPECT_EQ(CRuntimeClass::CreateObject("CNoSuchClass"), nullptr);
    EXPECT_NE(CRuntimeClass::FromName("CNamedOnly"), nullptr);
    EXPECT_EQ(CRuntimeClass::CreateObject("CNamedOnly"), nullptr);
}

}  // namespace
