// Objects built and classes looked up during static construction, before the
// library that defines the classes has run any initialiser of its own.
#include "startup_classes.h"

#include "engine/core/HObjectList.h"

#include <gtest/gtest.h>

namespace {

// The first objects of the process.
TestStartLeaf s_firstObject;
HObjectList s_secondObject;

struct EarlyLookups
{
    const HClassInfo *leaf = nullptr;
    const HClassInfo *leafBase = nullptr;
    const HClassInfo *stack = nullptr;
    bool leafIsKindOfObject = false;
    bool firstIsKindOfBase = false;
    int32_t recordsInList = 0;
};

EarlyLookups lookUpEarly()
{
    EarlyLookups early;
    early.leaf = HClassInfo::find("teststartleaf");
    early.leafBase = TestStartLeaf::s_classInfo.getBaseClass();
    early.stack = HClassInfo::find("HObjectStack");
    early.leafIsKindOfObject = TestStartLeaf::s_classInfo.isKindOf(&HObject::s_classInfo);
    early.firstIsKindOfBase = s_firstObject.isKindOf(&TestStartBase::s_classInfo);
    for (const HClassInfo *p = HClassInfo::getHead(); p && early.recordsInList < 1000; p = p->m_pNext)
        ++early.recordsInList;
    return early;
}

const EarlyLookups s_early = lookUpEarly();

}  // namespace

TEST(ObjectRegistryStartup, FirstObjectsOfTheProcessGetIdsOneAndTwo)
{
    EXPECT_EQ(1, s_firstObject.getId());
    EXPECT_EQ(2, s_secondObject.getId());
    HObject later;
    EXPECT_GT(later.getId(), 2);
}

TEST(ObjectRegistryStartup, LookupsDuringStaticConstructionSeeEveryRecord)
{
    EXPECT_EQ(&TestStartLeaf::s_classInfo, s_early.leaf);
    EXPECT_EQ(&TestStartBase::s_classInfo, s_early.leafBase);
    EXPECT_EQ(&HObjectStack::s_classInfo, s_early.stack);
    EXPECT_TRUE(s_early.leafIsKindOfObject);
    EXPECT_TRUE(s_early.firstIsKindOfBase);

    // The list was complete then and did not change afterwards.
    int32_t now = 0;
    for (const HClassInfo *p = HClassInfo::getHead(); p && now < 1000; p = p->m_pNext)
        ++now;
    EXPECT_EQ(now, s_early.recordsInList);
    // HObject, the three container records and the four of this test.
    EXPECT_GE(now, 8);
}

TEST(ObjectRegistryStartup, BaseNamesThatNameEachOtherEndTheWalk)
{
    const HClassInfo *a = &TestStartLoopA::s_classInfo;
    const HClassInfo *b = &TestStartLoopB::s_classInfo;
    EXPECT_EQ(b, a->getBaseClass());
    EXPECT_EQ(a, b->getBaseClass());
    EXPECT_TRUE(a->isKindOf(b));
    EXPECT_TRUE(b->isKindOf(a));
    EXPECT_FALSE(a->isKindOf(&HObject::s_classInfo));
}
