// The fixture of every Wine end-to-end test: the shared prefix is put back to
// its pristine state before the test and again after it.
#pragma once

#include <gtest/gtest.h>

#include "WineBed.h"

namespace pw {

class WineTest : public ::testing::Test {
 protected:
  void SetUp() override { bed::Reset(); }
  void TearDown() override { bed::Reset(); }
};

}  // namespace pw
