#include "engine/core/HFile.h"
#include "engine/core/HObject.h"
#include "engine/core/HObjectList.h"
#include "engine/core/HString.h"
#include "engine/core/HZIPFileSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

// A small chain of registered classes: Gamma -> Beta -> Alpha -> HObject.
class TestRegAlpha : public HObject
{
    H_DECLARE_CLASSINFO();
};
class TestRegBeta : public TestRegAlpha
{
    H_DECLARE_CLASSINFO();
};
class TestRegGamma : public TestRegBeta
{
    H_DECLARE_CLASSINFO();
};
// Carries a base name that nothing registers, so its chain ends at itself.
class TestRegOrphan : public HObject
{
    H_DECLARE_CLASSINFO();
};
// Registers nothing: answers the record of its nearest registered base.
class TestRegUnrecorded : public TestRegBeta
{
};

H_DEFINE_CLASSINFO(TestRegAlpha, "HObject");
H_DEFINE_CLASSINFO(TestRegBeta, "TestRegAlpha");
H_DEFINE_CLASSINFO(TestRegGamma, "testregbeta");  // base names match without case
H_DEFINE_CLASSINFO(TestRegOrphan, "TestRegNeverRegistered");

}  // namespace

TEST(HObjectIdentity, IdsAreConsecutiveAndCopiesAreNewObjects)
{
    HObject a;
    HObject b;
    TestRegGamma derived;
    HObjectList embedded;
    EXPECT_EQ(a.getId() + 1, b.getId());
    EXPECT_EQ(b.getId() + 1, derived.getId());
    EXPECT_EQ(derived.getId() + 1, embedded.getId());

    b.addRef();
    HObject copy(b);
    EXPECT_EQ(embedded.getId() + 1, copy.getId());
    EXPECT_EQ(0, copy.getRefCount());

    copy = a;  // assignment keeps the target's identity
    EXPECT_EQ(embedded.getId() + 1, copy.getId());
    EXPECT_NE(a.getId(), copy.getId());
}

TEST(HObjectIdentity, ReferenceCountOnlyCounts)
{
    HObject object;
    EXPECT_EQ(0, object.getRefCount());
    EXPECT_EQ(1, object.addRef());
    EXPECT_EQ(2, object.addRef());
    EXPECT_EQ(1, object.release());
    EXPECT_EQ(0, object.release());
    // Below zero the object stays alive and usable.
    EXPECT_EQ(-1, object.release());
    EXPECT_EQ(-1, object.getRefCount());
    EXPECT_STREQ("HObject", object.getClassName());
}

TEST(HObjectIdentity, HashIsClassNameHashPlusId)
{
    HObject a;
    HObject b;
    EXPECT_EQ(1082701223u + static_cast<uint32_t>(a.getId()), a.hashCode());
    EXPECT_EQ(1u, b.hashCode() - a.hashCode());

    TestRegGamma gamma;
    EXPECT_EQ(strCaseHash("TestRegGamma") + static_cast<uint32_t>(gamma.getId()),
              gamma.hashCode());
}

TEST(HObjectIdentity, ToStringWritesTheClassNameBounded)
{
    HObjectList list;
    struct Case
    {
        size_t size;
        const char *expected;
    } cases[] = {{4, "HOb"}, {1, ""}, {12, "HObjectList"}, {64, "HObjectList"}};
    for (const Case &c : cases) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(buffer, list.toString(buffer, c.size));
        EXPECT_STREQ(c.expected, buffer) << "size " << c.size;
        if (c.size < sizeof buffer) {
            EXPECT_EQ('x', buffer[c.size]) << "wrote past size " << c.size;
        }
    }
}

TEST(HObjectIdentity, CloneIsNotImplemented)
{
    HObject object;
    TestRegBeta beta;
    EXPECT_EQ(nullptr, object.clone());
    EXPECT_EQ(nullptr, beta.clone());
}

TEST(HClassInfoRegistry, FindIsCaseInsensitiveAndNullForUnknownNames)
{
    EXPECT_EQ(&HObjectList::s_classInfo, HClassInfo::find("hobjectlist"));
    EXPECT_EQ(&HObjectList::s_classInfo, HClassInfo::find("HOBJECTLIST"));
    EXPECT_EQ(&HObject::s_classInfo, HClassInfo::find("HObject"));
    EXPECT_EQ(&TestRegBeta::s_classInfo, HClassInfo::find("testREGbeta"));
    EXPECT_EQ(nullptr, HClassInfo::find("HObjectLis"));
    EXPECT_EQ(nullptr, HClassInfo::find("HObjectListX"));
    EXPECT_EQ(nullptr, HClassInfo::find("UIRenderDelegate"));
    EXPECT_EQ(nullptr, HClassInfo::find(""));
    EXPECT_EQ(nullptr, HClassInfo::find(nullptr));
}

TEST(HClassInfoRegistry, CoreRecordsCarryTheirNamesAndBaseNames)
{
    struct Case
    {
        const HClassInfo *record;
        const char *name;
        const char *base;
    } cases[] = {
        {&HObject::s_classInfo, "HObject", nullptr},
        {&HContainerNode::s_classInfo, "HContainerNode", "HObject"},
        {&HObjectList::s_classInfo, "HObjectList", "HObject"},
        {&HObjectStack::s_classInfo, "HObjectStack", "HObject"},
        {&HFile::s_classInfo, "HFile", "HObject"},
        {&HStandardFile::s_classInfo, "HStandardFile", "HFile"},
        {&HZIPFile::s_classInfo, "HZIPFile", "HFile"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.record, HClassInfo::find(c.name));
        EXPECT_STREQ(c.name, c.record->m_className);
        if (c.base) {
            EXPECT_STREQ(c.base, c.record->m_baseClassName);
            EXPECT_EQ(HClassInfo::find(c.base), c.record->getBaseClass());
        } else {
            EXPECT_EQ(nullptr, c.record->m_baseClassName);
            EXPECT_EQ(nullptr, c.record->getBaseClass());
        }
        EXPECT_TRUE(c.record->isKindOf(&HObject::s_classInfo));
    }
    EXPECT_TRUE(HZIPFile::s_classInfo.isKindOf(&HFile::s_classInfo));
    EXPECT_FALSE(HZIPFile::s_classInfo.isKindOf(&HStandardFile::s_classInfo));
    EXPECT_FALSE(HFile::s_classInfo.isKindOf(&HZIPFile::s_classInfo));
}

TEST(HClassInfoRegistry, ListHoldsEveryRecordOnceWithDistinctNames)
{
    std::set<const HClassInfo *> seen;
    std::set<std::string> names;
    int count = 0;
    for (const HClassInfo *p = HClassInfo::getHead(); p && count < 10000; p = p->m_pNext, ++count) {
        EXPECT_TRUE(seen.insert(p).second) << "record linked twice: " << p->m_className;
        std::string lower = p->m_className;
        strToLower(&lower[0]);
        EXPECT_TRUE(names.insert(lower).second) << "name registered twice: " << p->m_className;
    }
    ASSERT_LT(count, 10000) << "class list does not end";
    const HClassInfo *expected[] = {
        &HObject::s_classInfo,       &HContainerNode::s_classInfo, &HObjectList::s_classInfo,
        &HObjectStack::s_classInfo,  &TestRegAlpha::s_classInfo,   &TestRegBeta::s_classInfo,
        &TestRegGamma::s_classInfo,  &TestRegOrphan::s_classInfo,
    };
    for (const HClassInfo *record : expected)
        EXPECT_EQ(1u, seen.count(record)) << record->m_className;
}

TEST(HClassInfoRegistry, KindOfFollowsBaseNamesUpToTheFirstUnregisteredOne)
{
    const HClassInfo *object = &HObject::s_classInfo;
    const HClassInfo *alpha = &TestRegAlpha::s_classInfo;
    const HClassInfo *beta = &TestRegBeta::s_classInfo;
    const HClassInfo *gamma = &TestRegGamma::s_classInfo;
    const HClassInfo *orphan = &TestRegOrphan::s_classInfo;
    struct Case
    {
        const HClassInfo *record;
        const HClassInfo *other;
        bool expected;
    } cases[] = {
        {gamma, gamma, true},   {gamma, beta, true},     {gamma, alpha, true},
        {gamma, object, true},  {alpha, gamma, false},   {beta, gamma, false},
        {object, alpha, false}, {object, object, true},  {orphan, orphan, true},
        {orphan, object, false}, {gamma, orphan, false}, {gamma, nullptr, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.expected, c.record->isKindOf(c.other))
            << c.record->m_className << " kind of "
            << (c.other ? c.other->m_className : "(null)");
    }
    EXPECT_EQ(nullptr, orphan->getBaseClass());
    EXPECT_EQ(beta, gamma->getBaseClass());
}

TEST(HClassInfoRegistry, ObjectsAnswerTheirOwnOrTheNearestRegisteredRecord)
{
    TestRegGamma gamma;
    TestRegUnrecorded unrecorded;
    HObjectListNode node;
    TestRegOrphan orphan;

    EXPECT_TRUE(gamma.isExactly(&TestRegGamma::s_classInfo));
    EXPECT_FALSE(gamma.isExactly(&TestRegBeta::s_classInfo));
    EXPECT_FALSE(gamma.isExactly(nullptr));
    EXPECT_TRUE(gamma.isKindOf(&TestRegAlpha::s_classInfo));
    EXPECT_TRUE(gamma.isKindOf(&HObject::s_classInfo));
    EXPECT_FALSE(gamma.isKindOf(&HObjectList::s_classInfo));
    EXPECT_STREQ("TestRegGamma", gamma.getClassName());
    EXPECT_STREQ("testregbeta", gamma.getBaseClassName());

    EXPECT_TRUE(unrecorded.isExactly(&TestRegBeta::s_classInfo));
    EXPECT_STREQ("TestRegBeta", unrecorded.getClassName());

    EXPECT_TRUE(node.isExactly(&HContainerNode::s_classInfo));
    EXPECT_TRUE(node.isKindOf(&HObject::s_classInfo));
    EXPECT_STREQ("HContainerNode", node.getClassName());

    // Like a class whose record names a base that nothing registers: a kind
    // of itself only.
    EXPECT_TRUE(orphan.isKindOf(&TestRegOrphan::s_classInfo));
    EXPECT_FALSE(orphan.isKindOf(&HObject::s_classInfo));

    HObject plain;
    EXPECT_STREQ("HObject", plain.getClassName());
    EXPECT_EQ(nullptr, plain.getBaseClassName());
}
