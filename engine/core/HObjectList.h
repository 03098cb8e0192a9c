// The engine's container family: a doubly linked list of HObject pointers
// with an optional class filter, and a stack built on it.
#ifndef ENGINE_CORE_HOBJECTLIST_H
#define ENGINE_CORE_HOBJECTLIST_H

#include "engine/core/HObject.h"

#include <cstdint>

// A node that holds one object pointer; the object is not owned.
class HContainerNode : public HObject
{
    H_DECLARE_CLASSINFO();

    HContainerNode();
    ~HContainerNode() override;

    HObject *getObject() const { return m_pObject; }
    void setObject(HObject *object) { m_pObject = object; }

private:
    HObject *m_pObject;
};

// A node of HObjectList. It has no record of its own and answers that of
// HContainerNode.
class HObjectListNode : public HContainerNode
{
public:
    HObjectListNode();
    ~HObjectListNode() override;

    HObjectListNode *getPrev() const { return m_pPrev; }
    HObjectListNode *getNext() const { return m_pNext; }
    void setPrev(HObjectListNode *node) { m_pPrev = node; }
    void setNext(HObjectListNode *node) { m_pNext = node; }

private:
    HObjectListNode *m_pPrev;  // null at the head
    HObjectListNode *m_pNext;  // null at the tail
};

// A list of object pointers. The list makes and deletes its nodes; it never
// deletes, references or counts the objects they hold. There is no tail
// pointer and no count: both are found by walking from the head.
//
//   for (HObjectListNode *n = list.getHead(); n; n = list.getNext(n))
//       use(n->getObject());
class HObjectList : public HObject
{
    H_DECLARE_CLASSINFO();

    // `filter` (or null for none) is fixed for the list's life: addHead
    // refuses objects that are not a kind of it.
    explicit HObjectList(const HClassInfo *filter = nullptr);
    // Deletes any nodes still linked (never the objects).
    ~HObjectList() override;

    HObjectList(const HObjectList &) = delete;
    HObjectList &operator=(const HObjectList &) = delete;

    // Answers 0 when the object was added at the head, 1 when the filter
    // refused it (a null object is refused whenever there is a filter).
    int32_t addHead(HObject *object);
    // Appends without a filter test; answers 0.
    int32_t addTail(HObject *object);
    // Removes the first node (from the head) holding `object` and answers the
    // node that followed it; null when it was the last or nothing held it.
    HObjectListNode *remove(HObject *object);
    // Deletes every node; the list is empty afterwards.
    void removeAll();

    HObjectListNode *getHead() const { return m_pHead; }
    HObjectListNode *getTail() const;
    // The node's next or prev; null for a null node.
    HObjectListNode *getNext(const HObjectListNode *node) const;
    HObjectListNode *getPrev(const HObjectListNode *node) const;

private:
    const HClassInfo *m_pFilter;
    HObjectListNode *m_pHead;
};

// A stack of object pointers; the top is the head of its list.
class HObjectStack : public HObject
{
    H_DECLARE_CLASSINFO();

    explicit HObjectStack(const HClassInfo *filter = nullptr);
    ~HObjectStack() override;

    HObjectStack(const HObjectStack &) = delete;
    HObjectStack &operator=(const HObjectStack &) = delete;

    // The number of objects on the stack (counted by a walk).
    virtual int32_t getCount() const;

    // Answers 0 when pushed; 1 for a null object or one the filter refuses.
    int32_t push(HObject *object);
    // Takes the top object off and answers it; null when empty.
    HObject *pop();
    // The object `depth` places below the top (0 is the top); null when
    // depth is negative or not below getCount().
    HObject *peek(int32_t depth) const;

private:
    HObjectList *m_pList;
};

#endif
