// The fake platform is header-only today; this unit anchors it in the test library.
#include "tests/fake_platform.h"
