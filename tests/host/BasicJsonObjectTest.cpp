#include <tarvex/host/BasicJsonObject.h>

#include <gtest/gtest.h>

#include <QJsonDocument>

#include <tuple>

namespace {

using InterProcess::Types::BasicJsonObject;

// Each getter gives its fallback for every other kind of value, and for a missing key.
TEST(BasicJsonObjectTest, TypedItemReading)
{
    const BasicJsonObject object(QJsonDocument::fromJson(R"({"real": -2.5e-3, "text": "5", "yes": true, "no": false,
        "nothing": null, "object": {"inner": 1}, "array": [1, "two"]})").object());
    // Each key with the double (fallback -1), the text (fallback "fb") and the bool (-1: the
    // fallback) read from it.
    const std::tuple<const char*, double, const char*, int> cases[] = {
        {"real", -2.5e-3, "fb", -1},  {"text", -1.0, "5", -1},   {"yes", -1.0, "fb", 1},   {"no", -1.0, "fb", 0},
        {"nothing", -1.0, "fb", -1}, {"object", -1.0, "fb", -1}, {"Real", -1.0, "fb", -1}, // keys are case-sensitive
    };
    for (const auto& [name, asDouble, asText, asBool] : cases) {
        SCOPED_TRACE(name);
        const QString key = QString::fromLatin1(name);
        EXPECT_EQ(object.isItemDouble(key), asDouble != -1.0);
        EXPECT_EQ(object.getItemDouble(key, -1.0), asDouble);
        EXPECT_EQ(object.getItemString(key, QStringLiteral("fb")), QString::fromLatin1(asText));
        EXPECT_EQ(object.getItemBool(key, asBool != 1), asBool != 0);
        EXPECT_EQ(object.getItemBool(key, asBool == 0), asBool == 1);
    }
    EXPECT_TRUE(object.getItemObject(QStringLiteral("array")).isEmpty());

    // Writing into the null object (a failed read) starts a real one.
    BasicJsonObject built;
    EXPECT_FALSE(static_cast<bool>(built));
    built.setItem(QStringLiteral("a"), 3.25);
    EXPECT_TRUE(static_cast<bool>(built) && built.getItemDouble(QStringLiteral("a")) == 3.25);
}

} // namespace
