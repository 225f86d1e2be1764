// The help page: every section, of any level, says something or holds subsections that do.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <vector>

namespace {

struct Section {
    int level;
    QString title;
    QString body;   // up to the next heading of any level
};

QString readHelp() {
    QFile f(QStringLiteral(QUENDRA_HELP_FILE));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The words a reader sees: no comments, no tags, no blanks.
QString visibleText(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<!--.*?-->"), QRegularExpression::DotMatchesEverythingOption));
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.remove(QRegularExpression(QStringLiteral("\\s+")));
    return html;
}

std::vector<Section> sections(const QString& html) {
    const QRegularExpression heading(QStringLiteral("<h([1-6])[^>]*>(.*?)</h\\1>"),
                                     QRegularExpression::DotMatchesEverythingOption);
    std::vector<Section> out;
    std::vector<std::pair<qsizetype, qsizetype>> spans;   // each heading's start and end
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out.push_back({m.captured(1).toInt(), m.captured(2), {}});
        spans.push_back({m.capturedStart(), m.capturedEnd()});
    }
    // The body of each section: from the end of its heading to the start of the next one.
    for (size_t i = 0; i < spans.size(); ++i) {
        const qsizetype from = spans[i].second;
        const qsizetype to = i + 1 < spans.size() ? spans[i + 1].first : html.indexOf(QStringLiteral("</body>"), from);
        out[i].body = html.mid(from, to - from);
    }
    return out;
}

}  // namespace

TEST(Help, NoSectionIsEmpty) {
    const QString html = readHelp();
    ASSERT_FALSE(html.isEmpty()) << QUENDRA_HELP_FILE;
    const std::vector<Section> all = sections(html);
    ASSERT_GE(all.size(), 10u);
    for (size_t i = 0; i < all.size(); ++i) {
        const bool hasText = !visibleText(all[i].body).isEmpty();
        const bool hasSubsections = i + 1 < all.size() && all[i + 1].level > all[i].level;
        EXPECT_TRUE(hasText || hasSubsections) << "the section \"" << all[i].title.toStdString() << "\" is empty";
    }
}

TEST(Help, EveryToolWindowHasItsSection) {
    QStringList titles;
    for (const Section& s : sections(readHelp())) titles << s.title;
    for (const char* tool : {"Search engine", "All dividers", "Splitter", "Super Modulo", "Convertor", "Super Calculator"})
        EXPECT_TRUE(titles.contains(QString::fromLatin1(tool))) << tool;
}
