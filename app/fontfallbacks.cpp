// SPDX-License-Identifier: GPL-3.0-or-later
#include "fontfallbacks.h"

#include <QFont>
#include <QStringList>

namespace FontFallbacks {

void install()
{
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans"),
                           QStringLiteral("Sans Serif")};
    for (const QString &designed : {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial")}) {
        if (QFont::substitutes(designed).isEmpty())
            QFont::insertSubstitutions(designed, sans);
    }
}

} // namespace FontFallbacks
