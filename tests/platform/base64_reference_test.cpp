#include "platform/base64_reference.h"

#include <gtest/gtest.h>

#include <vector>

namespace velnora::platform {
namespace {

TEST(EvpDecodeBase64, DecodesAndRejects) {
  std::vector<unsigned char> out(16);
  auto n = EvpDecodeBase64("SGVsbG8=", out);
  ASSERT_TRUE(n.has_value());
  EXPECT_EQ(*n, 6u);  // the padding byte is counted
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out.data()), 5), "Hello");
  EXPECT_FALSE(EvpDecodeBase64("SGV*bG8=", out).has_value());
  std::vector<unsigned char> small(2);
  EXPECT_FALSE(EvpDecodeBase64("SGVsbG8=", small).has_value());
}

}  // namespace
}  // namespace velnora::platform
