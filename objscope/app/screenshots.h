// "objscope --screenshots FOLDER": renders each window with real data from
// the device of the first device box entry to PNG files, at the default size
// and enlarged, for the documentation.
#pragma once

#include <QString>

class QWidget;

namespace objscope {

class TfrmObjectList;
class TfrmPropertyList;

// Writes the window's picture to FOLDER/NAME and says so on stderr.
bool SaveWindowPicture(QWidget& window, const QString& folder, const char* name);

// Returns the program's exit code (0 when every picture was written).
int RenderScreenshots(TfrmObjectList& main, TfrmPropertyList& properties, const QString& folder);

}  // namespace objscope
