#include "engine/core/HObjectList.h"

H_DEFINE_CLASSINFO(HContainerNode, "HObject");
H_DEFINE_CLASSINFO(HObjectList, "HObject");
H_DEFINE_CLASSINFO(HObjectStack, "HObject");

HContainerNode::HContainerNode() : m_pObject(nullptr)
{
}

HContainerNode::~HContainerNode()
{
}

HObjectListNode::HObjectListNode() : m_pPrev(nullptr), m_pNext(nullptr)
{
}

HObjectListNode::~HObjectListNode()
{
}

HObjectList::HObjectList(const HClassInfo *filter) : m_pFilter(filter), m_pHead(nullptr)
{
}

HObjectList::~HObjectList()
{
    // Owners normally empty the list first; whatever is left would otherwise
    // be lost.
    removeAll();
}

int32_t HObjectList::addHead(HObject *object)
{
    if (m_pFilter && (!object || !object->isKindOf(m_pFilter)))
        return 1;
    HObjectListNode *node = new HObjectListNode;
    node->setObject(object);
    node->setNext(m_pHead);
    if (m_pHead)
        m_pHead->setPrev(node);
    m_pHead = node;
    return 0;
}

int32_t HObjectList::addTail(HObject *object)
{
    HObjectListNode *node = new HObjectListNode;
    node->setObject(object);
    HObjectListNode *tail = getTail();
    if (tail) {
        tail->setNext(node);
        node->setPrev(tail);
    } else {
        m_pHead = node;
    }
    return 0;
}

HObjectListNode *HObjectList::remove(HObject *object)
{
    HObjectListNode *node = m_pHead;
    while (node && node->getObject() != object)
        node = node->getNext();
    if (!node)
        return nullptr;

    HObjectListNode *prev = node->getPrev();
    HObjectListNode *next = node->getNext();
    if (prev)
        prev->setNext(next);
    else
        m_pHead = next;
    if (next)
        next->setPrev(prev);

    node->setObject(nullptr);
    node->setPrev(nullptr);
    node->setNext(nullptr);
    delete node;
    return next;
}

void HObjectList::removeAll()
{
    HObjectListNode *node = m_pHead;
    m_pHead = nullptr;
    while (node) {
        HObjectListNode *next = node->getNext();
        delete node;
        node = next;
    }
}

HObjectListNode *HObjectList::getTail() const
{
    HObjectListNode *node = m_pHead;
    while (node && node->getNext())
        node = node->getNext();
    return node;
}

HObjectListNode *HObjectList::getNext(const HObjectListNode *node) const
{
    return node ? node->getNext() : nullptr;
}

HObjectListNode *HObjectList::getPrev(const HObjectListNode *node) const
{
    return node ? node->getPrev() : nullptr;
}

HObjectStack::HObjectStack(const HClassInfo *filter) : m_pList(new HObjectList(filter))
{
}

HObjectStack::~HObjectStack()
{
    delete m_pList;
}

int32_t HObjectStack::getCount() const
{
    int32_t count = 0;
    for (HObjectListNode *node = m_pList->getHead(); node; node = node->getNext())
        ++count;
    return count;
}

int32_t HObjectStack::push(HObject *object)
{
    if (!object)
        return 1;
    return m_pList->addHead(object);
}

HObject *HObjectStack::pop()
{
    HObjectListNode *head = m_pList->getHead();
    if (!head)
        return nullptr;
    HObject *object = head->getObject();
    m_pList->remove(object);
    return object;
}

HObject *HObjectStack::peek(int32_t depth) const
{
    if (depth < 0)
        return nullptr;
    HObjectListNode *node = m_pList->getHead();
    for (int32_t i = 0; node && i < depth; ++i)
        node = node->getNext();
    return node ? node->getObject() : nullptr;
}
