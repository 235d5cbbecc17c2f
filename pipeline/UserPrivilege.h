// The two administrator tests whose answers travel to the package and the uninstaller
// as "-adminact=" and "-authorizationact=", and that choose the default install folder.
#pragma once

// The user logged on at the console has an administrator account. False when there is
// no console session, its user cannot be named, or the account lookup fails.
bool IsConsoleUserAdministrator();

// This process's token is a member of the built-in Administrators group.
bool IsProcessAdministrator();
