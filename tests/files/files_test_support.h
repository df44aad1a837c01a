#pragma once

// The sample lists now live in tests/support.
#include "support/sample_lists.h"
