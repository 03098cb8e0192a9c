// HObject, the root of the engine's objects, and HClassInfo, the engine's own
// class registry: one record per registered class, looked up by name.
#ifndef ENGINE_CORE_HOBJECT_H
#define ENGINE_CORE_HOBJECT_H

#include <cstddef>
#include <cstdint>

// One record per registered class. Records are plain static data, filled in
// at compile time; they are linked into the global list on first lookup and
// live for the whole process.
//
// Registering a class takes two lines:
//
//   // first in the class body (header); it leaves the access at public:
//   class HFoo : public HObject {
//       H_DECLARE_CLASSINFO();
//       ...
//   };
//
//   // in one .cpp, at namespace scope; the base name is the name this
//   // class's record carries (usually the C++ base class, or nullptr):
//   H_DEFINE_CLASSINFO(HFoo, "HObject");
//
// H_DEFINE_CLASSINFO defines the record HFoo::s_classInfo and the override
// HFoo::getClassInfo, and puts a pointer to the record in a link-time table
// that the registry reads the first time anything is looked up, so every
// class linked into the program is found whatever order static constructors
// run in (lookups made during static construction included). The table is
// the program's own, so records belong in the static libraries linked into
// it. A class that does not register answers the record of its nearest
// registered base.
struct HClassInfo
{
    HClassInfo *m_pNext;          // next record of the global list
    const char *m_className;      // this class's name
    const char *m_baseClassName;  // base class's name; null for HObject

    // The first record whose class name equals `name` without regard to
    // case; null when none (or when `name` is null).
    static const HClassInfo *find(const char *name);

    // The record named by this record's base-class name; null when that
    // name is null or not registered.
    const HClassInfo *getBaseClass() const;

    // True when `other` is this record or a record on this record's chain of
    // base-class names (followed by name, up to the first null or
    // unregistered name).
    bool isKindOf(const HClassInfo *other) const;

    // Head of the global list (complete on return); walk it with m_pNext.
    static const HClassInfo *getHead();
};

// Section the link-time table of records lives in; the linker provides its
// bounds as __start_<name> and __stop_<name>.
#define H_CLASSINFO_SECTION "tilmar_class_records"

#define H_DECLARE_CLASSINFO()                                   \
public:                                                         \
    static HClassInfo s_classInfo;                              \
    const HClassInfo *getClassInfo() const override

#define H_DEFINE_CLASSINFO(ClassName, baseName)                              \
    HClassInfo ClassName::s_classInfo = {nullptr, #ClassName, baseName};     \
    const HClassInfo *ClassName::getClassInfo() const                        \
    {                                                                        \
        return &ClassName::s_classInfo;                                      \
    }                                                                        \
    __attribute__((used, section(H_CLASSINFO_SECTION),                       \
                   aligned(sizeof(void *)))) static HClassInfo *const        \
        s_classInfoLink_##ClassName = &ClassName::s_classInfo

class HObject
{
public:
    static HClassInfo s_classInfo;

    // Takes the next process-wide serial number as the id (the first object
    // gets 1); the reference count starts at 0.
    HObject();
    // A copy is a new object: it takes a fresh id and a count of 0.
    HObject(const HObject &other);
    // Assignment keeps this object's own id and count.
    HObject &operator=(const HObject &other);

    // Virtual operations in this order; derived classes append theirs.
    virtual const HClassInfo *getClassInfo() const;
    virtual ~HObject();
    // Default: warns that the class has no clone and answers null.
    virtual HObject *clone() const;
    // Default: the class name, cut to size - 1 characters; answers buffer.
    virtual char *toString(char *buffer, size_t size) const;
    virtual int32_t getRefCount() const;
    // The count only counts: release never deletes the object. Both answer
    // the new count.
    virtual int32_t addRef();
    virtual int32_t release();
    // strCaseHash of the class name plus the id, wrapping in 32 bits.
    virtual uint32_t hashCode() const;

    int32_t getId() const { return m_id; }
    const char *getClassName() const;
    const char *getBaseClassName() const;
    // True when the object's record is `info` itself.
    bool isExactly(const HClassInfo *info) const;
    // HClassInfo::isKindOf of the object's record with `info`.
    bool isKindOf(const HClassInfo *info) const;

private:
    int32_t m_id;
    int32_t m_refCount;
};

#endif
