#include "Fonts.h"

#include <QStringList>

namespace tokotoko {
namespace {

QFont makeFont(const QStringList& families, qreal points) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

} // namespace

QFont pGothic(qreal points) {
    static const QStringList families{QStringLiteral("ＭＳ Ｐゴシック"),
                                      QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                      QStringLiteral("Noto Sans CJK JP")};
    return makeFont(families, points);
}

QFont gothic(qreal points) {
    static const QStringList families{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                                      QStringLiteral("IPAGothic"),
                                      QStringLiteral("Noto Sans Mono CJK JP")};
    return makeFont(families, points);
}

} // namespace tokotoko
