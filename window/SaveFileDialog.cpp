#include "window/SaveFileDialog.h"

#include "res/Strings.h"
#include "window/QtText.h"

#include <QFileDialog>
#include <QFileInfo>

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
}

void ConfigureOpenDialog(QFileDialog& dialog, const QString& path) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = NameFiltersFromFilterString(ToQString(SaveFilter));
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
