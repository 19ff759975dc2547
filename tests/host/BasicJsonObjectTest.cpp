#include "host/BasicJsonObject.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

namespace {

using InterProcess::Types::BasicJsonObject;

QJsonObject parseObject(const char* json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json;
    return document.object();
}

TEST(BasicJsonObjectTest, NullIsNotEmpty)
{
    const BasicJsonObject null;
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(static_cast<bool>(null));
    EXPECT_FALSE(null.hasItem(QStringLiteral("a")));
    EXPECT_EQ(null.getItemDouble(QStringLiteral("a"), 2.0), 2.0);

    const BasicJsonObject empty{QJsonObject()};
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(static_cast<bool>(empty));

    // Building an object by writing into a null one gives a real object.
    BasicJsonObject built;
    built.setItem(QStringLiteral("k"), 1);
    EXPECT_FALSE(built.isNull());
    EXPECT_EQ(built.getItemDouble(QStringLiteral("k")), 1.0);
    built.removeItem(QStringLiteral("k"));
    EXPECT_FALSE(built.hasItem(QStringLiteral("k")));
    EXPECT_FALSE(built.isNull());
}

TEST(BasicJsonObjectTest, TypedItemReading)
{
    const BasicJsonObject object(parseObject(R"({
        "int": 5, "real": -2.5e-3, "zero": 0, "big": 1e300,
        "numberText": "5", "text": "hello", "emptyText": "",
        "yes": true, "no": false, "nothing": null,
        "object": {"inner": 1}, "array": [1, "two", 3]
    })"));

    struct Case
    {
        const char* key;
        bool isDouble;
        double asDouble;     // fallback -1
        const char* asText;  // fallback "fb"
        int asBool;          // -1: fallback
    };
    const Case cases[] = {
        {"int", true, 5.0, "fb", -1},
        {"real", true, -2.5e-3, "fb", -1},
        {"zero", true, 0.0, "fb", -1},
        {"big", true, 1e300, "fb", -1},
        {"numberText", false, -1.0, "5", -1},
        {"text", false, -1.0, "hello", -1},
        {"emptyText", false, -1.0, "", -1},
        {"yes", false, -1.0, "fb", 1},
        {"no", false, -1.0, "fb", 0},
        {"nothing", false, -1.0, "fb", -1},
        {"object", false, -1.0, "fb", -1},
        {"array", false, -1.0, "fb", -1},
        {"missing", false, -1.0, "fb", -1},
        {"Int", false, -1.0, "fb", -1}, // keys are case-sensitive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(object.isItemDouble(key), c.isDouble);
        EXPECT_EQ(object.getItemDouble(key, -1.0), c.asDouble);
        EXPECT_EQ(object.getItemString(key, QStringLiteral("fb")), QString::fromLatin1(c.asText));
        if (c.asBool < 0) {
            EXPECT_TRUE(object.getItemBool(key, true));
            EXPECT_FALSE(object.getItemBool(key, false));
        } else {
            EXPECT_EQ(object.getItemBool(key, c.asBool == 0), c.asBool == 1);
        }
        EXPECT_EQ(object.hasItem(key), std::string(c.key) != "missing" && std::string(c.key) != "Int");
    }

    EXPECT_EQ(object.getItemObject(QStringLiteral("object")).value(QStringLiteral("inner")).toInt(), 1);
    EXPECT_EQ(object.getItemArray(QStringLiteral("array")).size(), 3);
    EXPECT_EQ(object.getItemArray(QStringLiteral("array")).at(1).toString(), QStringLiteral("two"));
    for (const char* key : {"array", "text", "int", "nothing", "missing"}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(object.getItemObject(QString::fromLatin1(key)).isEmpty());
    }
    for (const char* key : {"object", "text", "int", "nothing", "missing"}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(object.getItemArray(QString::fromLatin1(key)).isEmpty());
    }
}

TEST(BasicJsonObjectTest, WritesReplaceAndRemove)
{
    BasicJsonObject object(parseObject(R"({"a": "text", "b": 1})"));
    object.setItem(QStringLiteral("a"), 3.25);
    EXPECT_TRUE(object.isItemDouble(QStringLiteral("a")));
    EXPECT_EQ(object.getItemDouble(QStringLiteral("a")), 3.25);
    EXPECT_EQ(object.getItemString(QStringLiteral("a"), QStringLiteral("fb")), QStringLiteral("fb"));
    object.removeItem(QStringLiteral("b"));
    object.removeItem(QStringLiteral("absent"));
    EXPECT_EQ(object.object().keys(), (QStringList{"a"}));
}

} // namespace
