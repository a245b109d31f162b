#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class QFileDialog;

namespace bitexa {

// A filter of the form "description|pattern|description|pattern||" as the dialog's name
// filters, one per pair, each ending in its patterns in parentheses as the dialog reads them.
QStringList NameFiltersFromFilterString(QStringView filter);

// The save-file dialog of the Save command: a Save dialog for one file in `folder` (the
// dialog's own choice when empty), default suffix "txt" (then that of the filter the user
// picks), the text-file filter first among those of the formats, the initial name "*.txt". The
// overwrite question is asked by the command itself, after the suffix has been added, so it is
// about the file really written.
void ConfigureSaveDialog(QFileDialog& dialog, const QString& folder);

// The extension a name filter's pattern asks for ("TMX (*.tmx)" gives "tmx"); empty for a
// pattern such as *.* that asks for none.
QString SuffixOfNameFilter(const QString& filter);

// The open-file dialog of a path field: an existing file, the text-file filter first, starting
// at the field's path (the file selected when it exists, else its folder when that exists).
void ConfigureOpenDialog(QFileDialog& dialog, const QString& path);

} // namespace bitexa
