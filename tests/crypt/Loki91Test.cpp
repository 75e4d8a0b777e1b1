// The cipher against the table that tests/crypt/loki91_reference.py (an
// independent model in Python) made, and its buffer rules.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "crypt/SLoki91.h"
#include "support/TestSupport.h"

namespace {

// The folder of this test and its reference script.
const std::string kHere = std::string(QIM_TEST_DATA_DIR) + "/../crypt";

std::vector<unsigned char> FromHex(const std::string& hex) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(std::stoul(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<std::vector<std::string>> KnownAnswers(char kind) {
    std::ifstream in(kHere + "/Loki91KnownAnswers.txt");
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<std::string> row;
        std::string w;
        while (words >> w) row.push_back(w);
        if (!row.empty() && row[0].size() == 1 && row[0][0] == kind) rows.push_back(row);
    }
    return rows;
}

TEST(Loki91KnownAnswers, TableIsWhatTheReferenceScriptPrints) {
    int status = -1;
    const std::string printed = qimtest::RunCommand("/usr/bin/python3 " + kHere + "/loki91_reference.py", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(printed, qimtest::ReadFileBytes(kHere + "/Loki91KnownAnswers.txt"));
}

TEST(Loki91KnownAnswers, SFunction) {
    const auto rows = KnownAnswers('S');
    ASSERT_GE(rows.size(), 10u);
    for (const auto& row : rows)
        EXPECT_EQ(SLoki91::SFunction(std::stoul(row[1], nullptr, 16)), std::stoul(row[2], nullptr, 16)) << row[1];
}

TEST(Loki91KnownAnswers, RoundFunction) {
    const auto rows = KnownAnswers('F');
    ASSERT_GE(rows.size(), 5u);
    for (const auto& row : rows)
        EXPECT_EQ(SLoki91::RoundFunction(std::stoul(row[1], nullptr, 16), std::stoul(row[2], nullptr, 16)),
                  std::stoul(row[3], nullptr, 16))
            << row[1] << " " << row[2];
}

TEST(Loki91KnownAnswers, KeySchedule) {
    const auto rows = KnownAnswers('K');
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 18u);
        SLoki91 cipher(FromHex(row[1]).data());
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(cipher.Subkeys()[i], std::stoul(row[2 + i], nullptr, 16)) << row[1] << " subkey " << i;
    }
}

TEST(Loki91KnownAnswers, BlocksBothWays) {
    const auto rows = KnownAnswers('E');
    ASSERT_GE(rows.size(), 8u);
    for (const auto& row : rows) {
        const auto key = FromHex(row[1]);
        const auto plain = FromHex(row[2]);
        const auto cipherText = FromHex(row[3]);
        SLoki91 cipher(key.data());
        unsigned char block[8];
        std::memcpy(block, plain.data(), 8);
        cipher.EncryptBlock(block);
        EXPECT_EQ(std::vector<unsigned char>(block, block + 8), cipherText) << "key " << row[1];
        cipher.DecryptBlock(block);
        EXPECT_EQ(std::vector<unsigned char>(block, block + 8), plain) << "key " << row[1];
    }
}

TEST(Loki91Key, TypedTextIsItsFirstEightBytesPaddedWithZeros) {
    struct Case {
        std::string typed;
        std::string bytes;
    } cases[] = {
        {"abc", std::string("abc\0\0\0\0\0", 8)},
        {"", std::string(8, '\0')},
        {"12345678", "12345678"},
        {"1234567890", "12345678"},
    };
    for (const Case& c : cases) {
        unsigned char key[8];
        std::memset(key, 0xEE, sizeof key);
        MakeLokiKey(c.typed, key);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(key), 8), c.bytes) << c.typed;
    }
}

TEST(Loki91Buffer, ShortLastBlockIsFilledWithZerosAndCutAtTheFirstZeroOnDecryption) {
    unsigned char key[8];
    MakeLokiKey("abc", key);
    SLoki91 cipher(key);
    struct Case {
        std::string plain;
        std::size_t encrypted;
        std::string back;
    } cases[] = {
        {"xyz", 8, "xyz"},                                      // 3 bytes: one block, 5 zeros added
        {"12345678", 8, "12345678"},                            // a whole block, no zero: all of it
        {"123456789", 16, "123456789"},                         // one byte into the second block
        {std::string("ab\0cd", 5), 8, "ab"},                    // a zero inside the last block cuts there
        {std::string("12345678ab\0c", 12), 16, "12345678ab"},   // likewise after a whole block
        {std::string("1\0" "345678xy", 10), 16, std::string("1\0" "345678xy", 10)},  // zero in an earlier block is data
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> buffer(c.plain.begin(), c.plain.end());
        buffer.resize(c.plain.size() + 8, 0xAA);
        const std::size_t n = cipher.EncryptBuffer(buffer.data(), c.plain.size());
        EXPECT_EQ(n, c.encrypted);
        std::size_t plainLength = 99;
        ASSERT_TRUE(cipher.DecryptBuffer(buffer.data(), n, plainLength));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), plainLength), c.back);
    }
}

TEST(Loki91Buffer, DecryptionRefusesLengthsThatAreNoMultipleOfEight) {
    SLoki91 cipher;
    unsigned char buffer[16] = {};
    std::size_t plainLength = 5;
    for (std::size_t length : {1u, 7u, 9u, 15u}) EXPECT_FALSE(cipher.DecryptBuffer(buffer, length, plainLength));
    EXPECT_EQ(plainLength, 0u);
    EXPECT_TRUE(cipher.DecryptBuffer(buffer, 0, plainLength));
    EXPECT_EQ(plainLength, 0u);
}

TEST(Loki91Buffer, BlocksAreIndependent) {
    unsigned char key[8];
    MakeLokiKey("key", key);
    SLoki91 cipher(key);
    unsigned char two[16];
    std::memcpy(two, "SameSameSameSame", 16);
    cipher.EncryptBuffer(two, 16);
    EXPECT_EQ(std::memcmp(two, two + 8, 8), 0);
}

}  // namespace
