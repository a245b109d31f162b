#include "window/SaveFileDialog.h"

#include "res/Strings.h"
#include "window/QtText.h"

#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

namespace bitexa {

QStringList NameFiltersFromFilterString(QStringView filter) {
    QStringList parts = filter.toString().split(QLatin1Char('|'));
    // The filter ends with an empty pair.
    while (!parts.isEmpty() && parts.back().isEmpty()) {
        parts.removeLast();
    }
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        filters.append(description.trimmed().endsWith(shown)
                           ? description
                           : QStringLiteral("%1 %2").arg(description, shown));
    }
    return filters;
}

void ConfigureSaveDialog(QFileDialog& dialog, const QString& folder) {
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
    }
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(ToQString(SaveDefaultSuffix));
    const QStringList filters = NameFiltersFromFilterString(ToQString(SaveFilter));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.constFirst());
    dialog.selectFile(ToQString(SaveInitialName));
    // A name typed without an extension gets that of the format chosen, so the format (which
    // the extension decides) is the one the user picked.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            const QString suffix = SuffixOfNameFilter(filter);
            dialog.setDefaultSuffix(suffix.isEmpty() ? ToQString(SaveDefaultSuffix) : suffix);
        });
}

QString SuffixOfNameFilter(const QString& filter) {
    // "TMX (*.tmx)" gives "tmx"; a pattern without a plain extension, such as *.*, gives none.
    const qsizetype open = filter.lastIndexOf(QStringLiteral("(*."));
    if (open < 0) {
        return {};
    }
    const QString suffix = filter.mid(open + 3).section(QLatin1Char(')'), 0, 0);
    const bool plain = !suffix.isEmpty() && std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
        return c.isLetterOrNumber();
    });
    return plain ? suffix : QString();
}

void ConfigureOpenDialog(QFileDialog& dialog, const QString& path) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = NameFiltersFromFilterString(ToQString(OpenFilter));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.constFirst());
    if (path.isEmpty()) {
        return;
    }
    const QFileInfo file(path);
    if (file.isFile()) {
        dialog.setDirectory(file.absolutePath());
        dialog.selectFile(file.fileName());
    } else if (file.absoluteDir().exists()) {
        dialog.setDirectory(file.absolutePath());
    }
}

} // namespace bitexa
