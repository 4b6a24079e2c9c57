#include "core/Secret.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

TEST(ClearSecret, ZeroesTheWholeBuffer)
{
    std::string secret(100, 'x');
    secret.resize(3);
    const char* buffer = secret.data();
    const std::size_t capacity = secret.capacity();
    ClearSecret(secret);
    EXPECT_TRUE(secret.empty());
    ASSERT_EQ(secret.data(), buffer);
    for (std::size_t i = 0; i < capacity; ++i)
        ASSERT_EQ(buffer[i], '\0') << i;
}
