/*
 * The one-time tips without their window: the table of tips (id and text)
 * and the registry value "dsa" under the settings key, one bit per tip id,
 * a set bit meaning "do not show again".
 *
 * Tricky points:
 * - Two tips share id 4, so suppressing either suppresses both.
 * - The first question creates the value as 0; a value of another type (or
 *   too short) counts as missing and is replaced by 0.
 * - Any registry failure means "not shown" when asking, and nothing when
 *   suppressing: a tip never blocks the work it follows.
 */
#pragma once

#include <string>

namespace tips {

inline constexpr char ValueName[] = "dsa";
inline constexpr char Title[] = "Brimsafe";

struct Tip {
    int id;
    const char* text;
};

// The program's tips, by what raises them: the one table every raiser takes its tip from. Header
// only, so window-free code and the file view raise tips without linking the dialog.
inline constexpr Tip ClosingVault = {  // the program is closed
    1, "By closing the vault, your vault is automatically locked and your clipboard is cleared of any data you may "
       "have copied from your vault."};
inline constexpr Tip SortByHeading = {  // a second entry was added to a category (shows the sort picture)
    2, "You may sort your entry list by any field simply by clicking on the appropriate heading."};
inline constexpr Tip FilesDropped = {  // files or folders were dropped and added
    4, "When you add files to your vault, the files are not moved from their currnent locations.  They stay where "
       "they were, encrypted in place, and the Encrypted Files category lists them."};
inline constexpr Tip FileAdded = {  // a file was added with the Add File button
    4, "This file may be encrypted or decrypted by selecting it in the Encrypted Files category, and clicking the "
       "Encrypt or Decrypt button below it.  The file itself stays in its folder."};
inline constexpr Tip ChangesSaved = {  // the first change made to an entry in the editor panel
    8, "The changes you made to this entry will automatically be saved in the vault."};
inline constexpr Tip FileRemoved = {  // a file was removed from the vault
    32, "Removing a file from your vault does not delete the file.  The file is only decrypted and removed from the "
        "list."};
inline constexpr Tip DragAndDrop = {  // the Add File button, before its file dialog
    64, "You can also add files to your vault by dragging and dropping files or folders onto your vault.  Drop them "
        "anywhere on the Brimsafe window."};

// The tip whose id shows the sort picture.
inline constexpr int PictureTipId = 2;

// True when the tip may be shown: the id's bit is clear in the value (created as 0 when missing).
bool IsTipEnabled(int tipId, const std::string& valueName = ValueName);
// Sets the id's bits in the value.
void DisableTip(int tipId, const std::string& valueName = ValueName);

}  // namespace tips
