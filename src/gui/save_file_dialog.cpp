#include "gui/save_file_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace stylomat::gui {

namespace {
QString& Last_Folder() {
  static QString folder;
  return folder;
}
}  // namespace

QStringList Dialog_Filters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    const QString pattern = parts[i + 1].trimmed();
    if (description.isEmpty() && pattern.isEmpty()) continue;
    if (pattern.isEmpty() || description.contains("(" + pattern + ")")) {
      filters << description;
    } else {
      filters << description + " (" + pattern + ")";
    }
  }
  return filters;
}

std::optional<std::string> Ask_Save_File_Dialog(QWidget* parent, const std::string& proposed,
                                                const std::string& filter) {
  QFileDialog dialog(parent, "Save As");
  dialog.setObjectName("Form_Dialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = Dialog_Filters(filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  // The extension of the first filter's first pattern ("*.bmp": "bmp").
  const QString first = filters.value(0);
  const int dot = first.indexOf("*.");
  if (dot >= 0) dialog.setDefaultSuffix(first.mid(dot + 2).section(QRegularExpression("[ ;)]"), 0, 0));
  const QString folder = Last_Folder().isEmpty() ? QDir::homePath() : Last_Folder();
  dialog.setDirectory(folder);
  dialog.selectFile(QDir(folder).filePath(QString::fromStdString(proposed)));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
  Last_Folder() = QFileInfo(chosen.first()).absolutePath();
  return QFile::encodeName(chosen.first()).toStdString();
}

}  // namespace stylomat::gui
