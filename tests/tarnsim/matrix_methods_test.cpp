// The matrix methods of tarnsim on the largest matrices: the connection list
// in pages that together name every connected crosspoint once, and 1-to-1
// on a 256 x 256 matrix, whose input and output 256 a byte cannot name.
#include <gtest/gtest.h>

#include <set>

#include "method_answers.h"
#include "protocol/tarn_method_codec.h"

namespace {

using objscope::Crosspoint;
using tarnsim::MatrixRules;
using tarnsim::MatrixState;

MatrixState Square(uint16_t side) {
    MatrixState matrix;
    matrix.inputs = matrix.outputs = side;
    return matrix;
}

// Every page of the list from the start, as a requester follows them.
std::vector<Crosspoint> ListAll(MatrixState& matrix, int& pages) {
    std::vector<Crosspoint> all;
    pages = 0;
    while (pages < 1000) {
        auto answer =
            tarnsim::answerMatrix(matrix, MatrixRules{}, objscope::kMethodMatrixCommand,
                                  objscope::matrixListPayload(static_cast<uint16_t>(all.size())));
        ++pages;
        EXPECT_TRUE(answer.verdict.isOk());
        if (!answer.payload)
            break;
        auto page = objscope::decodeMatrixPairs(*answer.payload);
        EXPECT_LE(answer.payload->size(), tarnsim::kMethodPayloadRoom);
        all.insert(all.end(), page.begin(), page.end());
        if (!answer.more || page.empty())
            break;
    }
    return all;
}

}  // namespace

TEST(MatrixMethods, ListPagesNameEveryConnectionOnce) {
    MatrixState matrix = Square(256);
    for (int i = 1; i <= 255; ++i)
        for (int o = 1; o <= 255; o += 3)
            matrix.connected.insert({static_cast<uint8_t>(i), static_cast<uint8_t>(o)});
    int pages = 0;
    const auto all = ListAll(matrix, pages);
    EXPECT_EQ(all.size(), matrix.connected.size());
    EXPECT_GT(pages, 40);
    std::set<std::pair<uint8_t, uint8_t>> seen;
    for (const Crosspoint& p : all)
        EXPECT_TRUE(seen.insert({p.input, p.output}).second) << "listed twice";
    EXPECT_EQ(seen, matrix.connected);
}

TEST(MatrixMethods, OneToOneOnTheLargestMatrixStopsAt255) {
    MatrixState matrix = Square(256);
    auto answer = tarnsim::answerMatrix(matrix, MatrixRules{}, objscope::kMethodMatrixCommand,
                                        objscope::matrixOneToOnePayload());
    ASSERT_TRUE(answer.verdict.isOk());
    EXPECT_EQ(matrix.connected.size(), 255u);
    EXPECT_EQ(matrix.connected.count({0, 0}), 0u) << "256 would wrap to 0";
    EXPECT_EQ(matrix.connected.count({255, 255}), 1u);
}
