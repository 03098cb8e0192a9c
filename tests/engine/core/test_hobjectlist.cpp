#include "engine/core/HObjectList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TestListWidget : public HObject
{
    H_DECLARE_CLASSINFO();
};
class TestListButton : public TestListWidget
{
    H_DECLARE_CLASSINFO();
};
class TestListPicture : public HObject
{
    H_DECLARE_CLASSINFO();
};

H_DEFINE_CLASSINFO(TestListWidget, "HObject");
H_DEFINE_CLASSINFO(TestListButton, "TestListWidget");
H_DEFINE_CLASSINFO(TestListPicture, "HObject");

// The objects from head to tail, checking on the way that every prev link
// mirrors the next link before it.
std::vector<HObject *> contents(const HObjectList &list)
{
    std::vector<HObject *> objects;
    HObjectListNode *prev = nullptr;
    for (HObjectListNode *node = list.getHead(); node; node = list.getNext(node)) {
        EXPECT_EQ(prev, list.getPrev(node)) << "broken prev link at " << objects.size();
        objects.push_back(node->getObject());
        prev = node;
        if (objects.size() > 1000)
            break;
    }
    EXPECT_EQ(prev, list.getTail());
    return objects;
}

using Objects = std::vector<HObject *>;

}  // namespace

TEST(HObjectList, AddHeadPrependsAndAddTailAppends)
{
    HObject a, b, c;
    HObjectList heads;
    EXPECT_EQ(0, heads.addHead(&a));
    EXPECT_EQ(0, heads.addHead(&b));
    EXPECT_EQ(0, heads.addHead(&c));
    EXPECT_EQ((Objects{&c, &b, &a}), contents(heads));

    HObjectList tails;
    EXPECT_EQ(0, tails.addTail(&a));
    EXPECT_EQ(0, tails.addTail(&b));
    EXPECT_EQ(0, tails.addTail(&c));
    EXPECT_EQ((Objects{&a, &b, &c}), contents(tails));

    // Mixed: the tail walk and head link must agree.
    HObjectList mixed;
    mixed.addTail(&b);
    mixed.addHead(&a);
    mixed.addTail(&c);
    EXPECT_EQ((Objects{&a, &b, &c}), contents(mixed));
}

TEST(HObjectList, EmptyListAnswersNullEverywhere)
{
    HObjectList list;
    HObject a;
    EXPECT_EQ(nullptr, list.getHead());
    EXPECT_EQ(nullptr, list.getTail());
    EXPECT_EQ(nullptr, list.getNext(nullptr));
    EXPECT_EQ(nullptr, list.getPrev(nullptr));
    EXPECT_EQ(nullptr, list.remove(&a));
    list.removeAll();
    EXPECT_EQ(nullptr, list.getHead());
}

TEST(HObjectList, FilterRefusesOtherClassesAtTheHeadOnly)
{
    TestListWidget widget;
    TestListButton button;
    TestListPicture picture;
    HObjectList list(&TestListWidget::s_classInfo);

    EXPECT_EQ(1, list.addHead(&picture));
    EXPECT_EQ(nullptr, list.getHead());
    EXPECT_EQ(1, list.addHead(nullptr));
    EXPECT_EQ(nullptr, list.getHead());

    EXPECT_EQ(0, list.addHead(&widget));
    EXPECT_EQ(0, list.addHead(&button));  // a kind of the filter class
    EXPECT_EQ(1, list.addHead(&picture));
    EXPECT_EQ((Objects{&button, &widget}), contents(list));

    // The tail takes anything.
    EXPECT_EQ(0, list.addTail(&picture));
    EXPECT_EQ((Objects{&button, &widget, &picture}), contents(list));

    // Without a filter null is held like any pointer.
    HObjectList open;
    EXPECT_EQ(0, open.addHead(nullptr));
    EXPECT_EQ((Objects{nullptr}), contents(open));
}

TEST(HObjectList, RemoveTakesTheFirstHolderAndAnswersItsSuccessor)
{
    HObject a, b, c, stranger;
    HObjectList list;
    list.addTail(&a);
    list.addTail(&b);
    list.addTail(&a);
    list.addTail(&c);

    // Not held: nothing changes.
    EXPECT_EQ(nullptr, list.remove(&stranger));
    EXPECT_EQ((Objects{&a, &b, &a, &c}), contents(list));

    // Held twice: only the node nearer the head goes; the head moves on.
    HObjectListNode *next = list.remove(&a);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(&b, next->getObject());
    EXPECT_EQ(next, list.getHead());
    EXPECT_EQ((Objects{&b, &a, &c}), contents(list));

    // From the middle: neighbours are joined both ways.
    next = list.remove(&a);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(&c, next->getObject());
    EXPECT_EQ((Objects{&b, &c}), contents(list));

    // The last node has no successor.
    EXPECT_EQ(nullptr, list.remove(&c));
    EXPECT_EQ((Objects{&b}), contents(list));
    EXPECT_EQ(nullptr, list.remove(&b));
    EXPECT_EQ((Objects{}), contents(list));

    // The objects themselves are untouched.
    EXPECT_EQ(0, a.getRefCount());
    EXPECT_STREQ("HObject", a.getClassName());
}

TEST(HObjectList, RemoveAllFreesNodesButNotObjects)
{
    TestListWidget *owned = new TestListWidget;
    owned->addRef();
    HObjectList list;
    list.addTail(owned);
    list.addTail(owned);
    list.removeAll();
    EXPECT_EQ(nullptr, list.getHead());
    EXPECT_EQ(1, owned->getRefCount());
    EXPECT_TRUE(owned->isExactly(&TestListWidget::s_classInfo));
    delete owned;

    // The list is usable again after being emptied.
    HObject a;
    EXPECT_EQ(0, list.addHead(&a));
    EXPECT_EQ((Objects{&a}), contents(list));
}

TEST(HObjectList, DestroyingAListStillHoldingNodesFreesThem)
{
    // Checked by the leak detector of the sanitizer build.
    HObject a, b;
    HObjectList *list = new HObjectList;
    list->addTail(&a);
    list->addTail(&b);
    delete list;
    EXPECT_EQ(0, a.getRefCount());
}

TEST(HObjectList, NodesStartEmptyAndAnswerTheContainerRecord)
{
    HObjectListNode node;
    EXPECT_EQ(nullptr, node.getObject());
    EXPECT_EQ(nullptr, node.getPrev());
    EXPECT_EQ(nullptr, node.getNext());
    EXPECT_TRUE(node.isExactly(&HContainerNode::s_classInfo));

    HObjectList list;
    HObjectStack stack;
    EXPECT_TRUE(list.isExactly(&HObjectList::s_classInfo));
    EXPECT_TRUE(stack.isExactly(&HObjectStack::s_classInfo));
    EXPECT_TRUE(stack.isKindOf(&HObject::s_classInfo));
    EXPECT_FALSE(stack.isKindOf(&HObjectList::s_classInfo));
}

TEST(HObjectStack, PushPopAndPeekWorkFromTheTop)
{
    HObject a, b, c;
    HObjectStack stack;
    EXPECT_EQ(nullptr, stack.pop());
    EXPECT_EQ(nullptr, stack.peek(0));
    EXPECT_EQ(0, stack.getCount());

    EXPECT_EQ(0, stack.push(&a));
    EXPECT_EQ(0, stack.push(&b));
    EXPECT_EQ(2, stack.getCount());
    EXPECT_EQ(&b, stack.peek(0));
    EXPECT_EQ(&a, stack.peek(1));
    EXPECT_EQ(nullptr, stack.peek(2));
    EXPECT_EQ(nullptr, stack.peek(100));
    EXPECT_EQ(nullptr, stack.peek(-1));

    // Bottom-up walk as the dialog drawing does it.
    std::vector<HObject *> bottomUp;
    for (int32_t depth = stack.getCount() - 1; depth >= 0; --depth)
        bottomUp.push_back(stack.peek(depth));
    EXPECT_EQ((Objects{&a, &b}), bottomUp);

    EXPECT_EQ(&b, stack.pop());
    EXPECT_EQ(0, stack.push(&c));
    EXPECT_EQ(&c, stack.pop());
    EXPECT_EQ(&a, stack.pop());
    EXPECT_EQ(nullptr, stack.pop());
    EXPECT_EQ(0, stack.getCount());
}

TEST(HObjectStack, RefusesNullAndFilteredObjects)
{
    HObject a;
    HObjectStack stack;
    stack.push(&a);
    EXPECT_EQ(1, stack.push(nullptr));
    EXPECT_EQ(1, stack.getCount());
    EXPECT_EQ(&a, stack.pop());

    TestListWidget widget;
    TestListButton button;
    TestListPicture picture;
    HObjectStack filtered(&TestListWidget::s_classInfo);
    EXPECT_EQ(1, filtered.push(&picture));
    EXPECT_EQ(0, filtered.getCount());
    EXPECT_EQ(0, filtered.push(&widget));
    EXPECT_EQ(0, filtered.push(&button));
    EXPECT_EQ(2, filtered.getCount());
    EXPECT_EQ(&button, filtered.pop());
    EXPECT_EQ(&widget, filtered.pop());
}

TEST(HObjectStack, ObjectPushedTwicePopsTwice)
{
    HObject a, b;
    HObjectStack stack;
    stack.push(&a);
    stack.push(&b);
    stack.push(&a);
    EXPECT_EQ(3, stack.getCount());
    EXPECT_EQ(&a, stack.pop());
    EXPECT_EQ(&b, stack.peek(0));
    EXPECT_EQ(&a, stack.peek(1));
    EXPECT_EQ(&b, stack.pop());
    EXPECT_EQ(&a, stack.pop());
    EXPECT_EQ(0, stack.getCount());
}

TEST(HObjectStack, DestroyingANonEmptyStackFreesItsNodes)
{
    // Checked by the leak detector of the sanitizer build.
    HObject a, b;
    HObjectStack *stack = new HObjectStack;
    stack->push(&a);
    stack->push(&b);
    delete stack;
    EXPECT_EQ(0, b.getRefCount());
}
