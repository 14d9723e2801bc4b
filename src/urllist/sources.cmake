# Logic files go to tallycore, widget files to tallygui.
