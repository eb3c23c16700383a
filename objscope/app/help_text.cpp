#include "app/help_text.h"

namespace objscope {

const char kHelpText[] = R"(Usage: objscope [--list [DEVICE] | --screenshots FOLDER] [Qt options]
       objscope --upload DEVICE FILE
       objscope --download DEVICE FILE [--delete-existing]
       objscope --compare DEVICE FILE
       objscope --help

The property viewer of the Tarn devices. Without options it opens the main
window "Obj/Cl Viewer - v6.5.3": pick a device, list its objects or classes,
upload all objects with their properties, view and change properties, make
settings permanent or reset the device.

Options:
  --help           show this text and exit
  --list [DEVICE]  no window: print the objects of DEVICE (default: the first
                   device of Tarncom.ini) in the list format of the main
                   window, then "Total:  N  ", and exit (0 when objects came,
                   1 when the device did not answer)
  --upload DEVICE FILE
                   no window: write the object set file FILE (*.tob) of
                   DEVICE: every object with its properties, then the data of
                   its table and list objects. Progress on stderr; exit 0
                   when everything was read, 1 at the first failure (no file
                   is left then)
  --download DEVICE FILE [--delete-existing]
                   no window: write the object set file FILE into DEVICE
                   (first deleting its objects with --delete-existing). A
                   malformed file changes nothing. Exit 0 when the device
                   accepted everything, 1 at the first refusal
  --compare DEVICE FILE
                   no window: list on stdout what a download of FILE would
                   change on DEVICE (objects only in one of them, properties
                   and data that differ) and a total line. Exit 0 when equal,
                   1 when they differ or the comparison failed
  --screenshots FOLDER
                   no window on the screen: render the windows with the data
                   of the first device to PNG files in FOLDER, and exit
  Qt options such as -platform offscreen are passed to Qt.

Files:
  Tarncom.ini      read from the current directory: section "Device Mappings"
                   (keys MAP...: network, first device, last device, IP or
                   COM, address) says which address serves which devices;
                   "My Machine" (MyNet, My590) and "Monitoring" (Monitor)
                   give this PC's identity and the monitor window switch.
                   Without the file the device box stays empty.

Environment:
  VEK_CONFIG_DIR   folder of VEKMAIN.INI, the network server's settings
                   (default $XDG_CONFIG_HOME/vek or ~/.config/vek)
  VEK_STATE_DIR    folder of the server's debug log
                   (default $XDG_STATE_HOME/vek or ~/.local/state/vek)
  VEK_RUNTIME_DIR  private folder of the running server and its clients
                   (default $XDG_RUNTIME_DIR/vek or /tmp/vek-<uid>)
  VEK_HUBSERVER    the hubserver program to start when none is running
                   (default: next to the libraries, then PATH)
  QT_QPA_PLATFORM  Qt's display platform (offscreen: no display needed)
)";

}  // namespace objscope
