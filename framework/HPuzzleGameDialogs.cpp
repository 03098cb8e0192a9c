// The framework's dialog runners: build a ready-made dialog, run it, tidy up.
#include "framework/HPuzzleGame.h"

int32_t HPuzzleGame::showMessageDialog(int32_t, int32_t, int32_t, const char *, const char *, const char *,
                                       const char *, const char *)
{
    return 0;
}

int32_t HPuzzleGame::showSlideShowDialog(int32_t, int32_t, const char *, const char *, const char *, const char *,
                                         const char *, const char *, const char *const *, int32_t)
{
    return 1;
}
