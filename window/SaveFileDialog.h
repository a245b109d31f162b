#pragma once

#include <QStringList>
#include <QStringView>

class QFileDialog;

namespace bitexa {

// A filter of the form "description|pattern|description|pattern||" as the dialog's name
// filters, one per pair, each ending in its patterns in parentheses as the dialog reads them.
QStringList NameFiltersFromFilterString(QStringView filter);

// The save-file dialog of the Save command: a Save dialog for one file, default suffix "txt",
// the text-file filter first, the initial name "*.txt". The overwrite question is asked by the
// command itself, after the suffix has been added, so it is about the file really written.
void ConfigureSaveDialog(QFileDialog& dialog);

} // namespace bitexa
