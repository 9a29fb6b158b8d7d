// Edit boxes drawn through the panel cache look exactly as the style itself draws them,
// in every look the window's boxes take, the first time and again from the cache.
#include "platform/qt/PanelCacheStyle.h"

#include <QLineEdit>
#include <QStyleFactory>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

TEST(PanelCacheStyle, EditBoxesLookExactlyAsTheStyleDrawsThem)
{
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    PanelCacheStyle cached(QStyleFactory::create(QStringLiteral("Fusion")));
    const struct {
        const char* name;
        std::function<void(QLineEdit&)> look;
    } looks[] = {
        {"plain", [](QLineEdit&) {}},
        {"red base",
         [](QLineEdit& box) {
             QPalette palette = box.palette();
             palette.setColor(QPalette::Base, Qt::red);
             box.setPalette(palette);
         }},
        {"read only", [](QLineEdit& box) { box.setReadOnly(true); }},
        {"disabled", [](QLineEdit& box) { box.setEnabled(false); }},
    };
    for (const auto& look : looks) {
        QLineEdit box(QStringLiteral("#1A2B3C"));
        box.resize(61, 21);
        look.look(box);
        box.setStyle(plain.get());
        const QImage expected = box.grab().toImage();
        box.setStyle(&cached);
        for (const char* time : {"first", "second", "third"})
            EXPECT_EQ(box.grab().toImage(), expected) << look.name << ", " << time << " time";
    }
}
