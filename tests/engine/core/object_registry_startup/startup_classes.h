#ifndef TESTS_OBJECT_REGISTRY_STARTUP_CLASSES_H
#define TESTS_OBJECT_REGISTRY_STARTUP_CLASSES_H

#include "engine/core/HObject.h"

class TestStartBase : public HObject
{
    H_DECLARE_CLASSINFO();
};

class TestStartLeaf : public TestStartBase
{
    H_DECLARE_CLASSINFO();
};

// Two records whose base names name each other.
class TestStartLoopA : public HObject
{
    H_DECLARE_CLASSINFO();
};

class TestStartLoopB : public HObject
{
    H_DECLARE_CLASSINFO();
};

#endif
