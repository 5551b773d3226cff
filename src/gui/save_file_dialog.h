#pragma once
// The save dialog Form_Dialog of the front end (Front_End::Ask_Save_File):
// a file dialog that proposes a name under the filters the core gives in
// the dialog's own notation ("Bitmap (*.bmp)|*.bmp|").
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QWidget;

namespace stylomat::gui {

// "Bitmap (*.bmp)|*.bmp|" as the file dialog writes its filters: each pair
// of description and pattern becomes one filter, the description with the
// pattern in brackets unless it already names it ("Bitmap (*.bmp)").
QStringList Dialog_Filters(const std::string& filter);

// Asks for a file name to save under: proposed in the folder of the last
// save (the home folder at first), with the filters above; the first
// filter's extension is added to a name typed without one.  Nothing when
// the user cancels.
std::optional<std::string> Ask_Save_File_Dialog(QWidget* parent, const std::string& proposed,
                                                const std::string& filter);

}  // namespace stylomat::gui
