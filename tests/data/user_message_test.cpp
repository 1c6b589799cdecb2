#include "data/AppError.h"
#include "data/KeyedCollection.h"
#include "data/UserMessage.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace {

// The texts users saw before: none of a container's or the library's own words may reach them.
TEST(UserMessage, NeverShowsTheStandardLibrarysWording)
{
    const std::out_of_range subscript("Subscript out of range");
    const std::invalid_argument key("This key is already associated with an element of this collection");
    const std::overflow_error keys("Overflow: no more node keys in this run");
    const std::bad_alloc memory;
    const std::runtime_error other("basic_string::_M_create");
    for (const std::exception *e :
         std::initializer_list<const std::exception *>{&subscript, &key, &keys, &memory, &other}) {
        const QString text = UserMessageOf(*e);
        EXPECT_FALSE(text.isEmpty());
        EXPECT_FALSE(text.contains(QString::fromUtf8(e->what()))) << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1String("Subscript")));
        EXPECT_FALSE(text.contains(QLatin1String("_M_")));
    }
    EXPECT_TRUE(UserMessageOf(memory).contains(QLatin1String("memory")));
    // Running out of keys is the one a restart mends: say so.
    EXPECT_TRUE(UserMessageOf(keys).contains(QLatin1String("start it again")));
}

TEST(UserMessage, AKeyedCollectionMissThrowsWhatIsExplained)
{
    // The collection's real failure, not a hand-made one: its exception type must be one the
    // message knows, or users get the fallback sentence.
    KeyedCollection<int> items;
    try {
        items.Item(3);
        FAIL() << "no exception";
    } catch (const std::exception &e) {
        EXPECT_TRUE(UserMessageOf(e).contains(QLatin1String("no longer")));
    }
}

TEST(UserMessage, AnApplicationErrorKeepsItsDescriptionOrNamesWhereItCameFrom)
{
    EXPECT_EQ(UserMessageOf(AppError(kAppErrorBase + 9999, QStringLiteral("FuelModel.Load1Hr"),
                                     QStringLiteral("The 1-h load must not be negative."))),
              QStringLiteral("The 1-h load must not be negative."));
    const QString unnamed = UserMessageOf(AppError(kAppErrorBase + 9999, QStringLiteral("FuelModel.Depth"), {}));
    EXPECT_TRUE(unnamed.contains(QLatin1String("9999")));
    EXPECT_TRUE(unnamed.contains(QLatin1String("FuelModel.Depth")));
}

} // namespace
