"""String parameters that also take a resource or atom number: C passes
MAKEINTRESOURCE(n) or MAKEINTATOM(n), a number in a string pointer, so
IDC_ARROW, RT_BITMAP or a class atom go where a name may.  The table
names the A functions; each W twin takes numbers in the same parameters."""

RESOURCE_ARGUMENTS = {
    "LoadCursorA": ("lpCursorName",),
    "LoadIconA": ("lpIconName",),
    "LoadBitmapA": ("lpBitmapName",),
    "LoadMenuA": ("lpMenuName",),
    "LoadAcceleratorsA": ("lpTableName",),
    "LoadImageA": ("name",),
    "ImageList_LoadImageA": ("lpbmp",),
    "CreateDialogParamA": ("lpTemplateName",),
    "DialogBoxParamA": ("lpTemplateName",),
    "FindResourceA": ("lpName", "lpType"),
    "FindResourceExA": ("lpType", "lpName"),
    "UpdateResourceA": ("lpType", "lpName"),
    "EnumResourceNamesA": ("lpType",),
    "EnumResourceLanguagesA": ("lpType", "lpName"),
    "CreateWindowExA": ("lpClassName",),
    "CreateMDIWindowA": ("lpClassName",),
    "FindWindowA": ("lpClassName",),
    "FindWindowExA": ("lpszClass",),
    "GetClassInfoA": ("lpClassName",),
    "GetClassInfoExA": ("lpszClass",),
    "UnregisterClassA": ("lpClassName",),
    "GetPropA": ("lpString",),
    "SetPropA": ("lpString",),
    "RemovePropA": ("lpString",),
}


def resource_arguments(name, declaration):
    """The listed parameters of the function, or of its A twin for a W
    function; raises ValueError when the table names a parameter the
    prototype does not have, so the table cannot drift from the headers
    unnoticed."""
    if name.endswith("W") and name not in RESOURCE_ARGUMENTS:
        name = name[:-1] + "A"
    wanted = RESOURCE_ARGUMENTS.get(name, ())
    present = {p.get("name") for p in declaration.get("inner", [])
               if p.get("kind") == "ParmVarDecl"}
    missing = [p for p in wanted if p not in present]
    if missing:
        raise ValueError("%s has no parameter %s" % (name, ", ".join(missing)))
    return wanted
