#include <gtest/gtest.h>

#include "module_fixture.h"
