#include "engine/core/HObject.h"

#include "engine/core/HMessages.h"
#include "engine/core/HString.h"

// Bounds of the link-time table that H_DEFINE_CLASSINFO fills; the name must
// match H_CLASSINFO_SECTION. HObject's own entry below guarantees the table
// exists whenever this file is linked.
extern "C" HClassInfo *const __start_tilmar_class_records[];
extern "C" HClassInfo *const __stop_tilmar_class_records[];

namespace {

// Both are constant-initialised, so objects and lookups made during static
// construction see them before any constructor of this file has run.
int32_t s_objectCounter = 0;
HClassInfo *s_pClassListHead = nullptr;
int32_t s_classCount = 0;

bool s_isLinked(const HClassInfo *record)
{
    for (const HClassInfo *p = s_pClassListHead; p; p = p->m_pNext) {
        if (p == record)
            return true;
    }
    return false;
}

bool s_linkClassRecords()
{
    for (HClassInfo *const *entry = __start_tilmar_class_records;
         entry < __stop_tilmar_class_records; ++entry) {
        HClassInfo *record = *entry;
        // Skip padding a tool may have put between entries, and never link a
        // record twice.
        if (!record || s_isLinked(record))
            continue;
        record->m_pNext = s_pClassListHead;
        s_pClassListHead = record;
        ++s_classCount;
    }
    return true;
}

// Runs the linking exactly once, on the first lookup of the process.
void s_ensureClassList()
{
    static const bool linked = s_linkClassRecords();
    (void)linked;
}

}  // namespace

H_DEFINE_CLASSINFO(HObject, nullptr);

const HClassInfo *HClassInfo::find(const char *name)
{
    if (!name)
        return nullptr;
    s_ensureClassList();
    for (const HClassInfo *p = s_pClassListHead; p; p = p->m_pNext) {
        if (strCaseCompare(p->m_className, name) == 0)
            return p;
    }
    return nullptr;
}

const HClassInfo *HClassInfo::getBaseClass() const
{
    if (!m_baseClassName)
        return nullptr;
    return find(m_baseClassName);
}

bool HClassInfo::isKindOf(const HClassInfo *other) const
{
    if (!other)
        return false;
    s_ensureClassList();
    // A chain can visit each record at most once; the bound stops a loop of
    // base names that name each other.
    const HClassInfo *record = this;
    for (int32_t steps = 0; record && steps <= s_classCount; ++steps) {
        if (record == other)
            return true;
        record = record->getBaseClass();
    }
    return false;
}

const HClassInfo *HClassInfo::getHead()
{
    s_ensureClassList();
    return s_pClassListHead;
}

HObject::HObject() : m_id(0), m_refCount(0)
{
    // Unsigned arithmetic: the counter wraps instead of overflowing.
    s_objectCounter = static_cast<int32_t>(static_cast<uint32_t>(s_objectCounter) + 1u);
    m_id = s_objectCounter;
}

HObject::HObject(const HObject &) : HObject()
{
}

HObject &HObject::operator=(const HObject &)
{
    return *this;
}

HObject::~HObject()
{
}

HObject *HObject::clone() const
{
    warningPrint("%s has not implemented clone()", getClassName());
    return nullptr;
}

char *HObject::toString(char *buffer, size_t size) const
{
    return strCopy(buffer, getClassName(), size);
}

int32_t HObject::getRefCount() const
{
    return m_refCount;
}

int32_t HObject::addRef()
{
    return ++m_refCount;
}

int32_t HObject::release()
{
    return --m_refCount;
}

uint32_t HObject::hashCode() const
{
    return strCaseHash(getClassName()) + static_cast<uint32_t>(m_id);
}

const char *HObject::getClassName() const
{
    const HClassInfo *info = getClassInfo();
    return info ? info->m_className : nullptr;
}

const char *HObject::getBaseClassName() const
{
    const HClassInfo *info = getClassInfo();
    return info ? info->m_baseClassName : nullptr;
}

bool HObject::isExactly(const HClassInfo *info) const
{
    return info != nullptr && getClassInfo() == info;
}

bool HObject::isKindOf(const HClassInfo *info) const
{
    const HClassInfo *own = getClassInfo();
    return own != nullptr && own->isKindOf(info);
}
