// A parameterized test's name from its case's `name` text: every character
// that a test name cannot hold becomes '_'.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace velnora::testing {

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param) {
  std::string name = param.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

}  // namespace velnora::testing
