// Reference-face texts as projects write them, and texts that do not follow the form.
#include <tarvex/exchange3d/TarvexRefFace.h>

#include <gtest/gtest.h>

namespace {

TEST(TarvexRefFace, ReadsObjectFacesOperationsAndFlag)
{
    const struct
    {
        const char* text;
        bool read;
        const char* object;
        std::vector<int> faces;
        std::vector<std::string> operations;
        int flag;
    } cases[] = {
        // The form the exporter writes, two blanks before "I" included.
        {"S 40 F 1 1 6 1 101  I 0", true, "40", {6}, {"101"}, 0},
        {"S 7 F 2 1 3 1 4 2 100 102 I 1", true, "7", {3, 4}, {"100", "102"}, 1},
        {"  S\t9 F 0 0 I -1 ", true, "9", {}, {}, -1},
        {"", false, "", {}, {}, 0},
        {"-1", false, "", {}, {}, 0},
        {"S 40 F 2 1 6 1 101  I 0", false, "", {}, {}, 0},         // two faces announced, one given
        {"S 40 F 1 1 six 1 101 I 0", false, "", {}, {}, 0},        // a face that is no number
        {"S 40 F 1 1 6 1 101", false, "", {}, {}, 0},              // no "I"
        {"S 40 F 1 1 6 1 101 I", false, "", {}, {}, 0},            // no flag
        {"S 40 F 99999999999 1 6 1 101 I 0", false, "", {}, {}, 0}, // a count out of range
        {"S 40 G 1 1 6 1 101 I 0", false, "", {}, {}, 0},
    };
    for (const auto& [text, read, object, faces, operations, flag] : cases) {
        Tarvex3D::TarvexRefFace face;
        face.parse("S 1 F 1 1 2 1 3 I 4"); // what an earlier read left must not survive
        EXPECT_EQ(face.parse(text), read) << text;
        EXPECT_EQ(face.getObjectId(), object) << text;
        EXPECT_EQ(face.getFaces(), faces) << text;
        EXPECT_EQ(face.getOperationIds(), operations) << text;
        EXPECT_EQ(face.getFlag(), flag) << text;
    }
}

} // namespace
