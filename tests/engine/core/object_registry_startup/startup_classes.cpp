#include "startup_classes.h"

H_DEFINE_CLASSINFO(TestStartBase, "HObject");
H_DEFINE_CLASSINFO(TestStartLeaf, "TestStartBase");
H_DEFINE_CLASSINFO(TestStartLoopA, "TestStartLoopB");
H_DEFINE_CLASSINFO(TestStartLoopB, "TestStartLoopA");
