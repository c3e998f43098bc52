"""A python-dbusmock template for UDisks2 (0.28 ships none): one optical drive.

Parameters: "device", the drive's block device; "disc", whether a disc is in it (then it has a
filesystem); "mounted", where that filesystem is mounted ("" for nowhere); "mount_folder", where
Mount mounts it; "unmount_error", the D-Bus error Unmount raises ("" for none); "unmount_delay",
how many seconds Unmount takes; "more_devices", the block devices of further drives, E: and on,
each without a disc.
"""

import dbus
import dbusmock

BUS_NAME = "org.freedesktop.UDisks2"
MAIN_OBJ = "/org/freedesktop/UDisks2"
MAIN_IFACE = "org.freedesktop.DBus.ObjectManager"
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

DRIVE = "/org/freedesktop/UDisks2/drives/Lumivo_DVD_RW"
BLOCK = "/org/freedesktop/UDisks2/block_devices/sr0"
FILESYSTEM_IFACE = "org.freedesktop.UDisks2.Filesystem"


def file_name(path):
    return dbus.Array(list(path.encode() + b"\0"), signature="y")


def file_names(paths):
    return dbus.Array([file_name(p) for p in paths], signature="ay")


def add_drive(mock, drive, block, device, disc):
    mock.AddObject(drive, "org.freedesktop.UDisks2.Drive", {
        "MediaCompatibility": dbus.Array(["optical_cd", "optical_cd_r", "optical_dvd"],
                                         signature="s"),
        "MediaAvailable": disc, "MediaRemovable": True, "Optical": disc, "Ejectable": True,
        "Removable": True,
    }, [])
    mock.AddObject(block, "org.freedesktop.UDisks2.Block", {
        "Device": file_name(device),
        "PreferredDevice": file_name(device),
        "Symlinks": file_names([]),
        "Drive": dbus.ObjectPath(drive),
        "IdUsage": "filesystem" if disc else "",
    }, [])


def load(mock, parameters):
    disc = bool(parameters.get("disc", True))
    mounted = str(parameters.get("mounted", ""))
    folder = str(parameters.get("mount_folder", "/media/lumivo/DISC"))
    error = str(parameters.get("unmount_error", ""))
    delay = float(parameters.get("unmount_delay", 0))

    mock.AddObject("/org/freedesktop/UDisks2/Manager", "org.freedesktop.UDisks2.Manager",
                   {"Version": "2.9.4"}, [])
    for number, device in enumerate(parameters.get("more_devices", []), start=1):
        add_drive(mock, f"{DRIVE}_{number}", f"{BLOCK[:-1]}{number}", device, False)
    add_drive(mock, DRIVE, BLOCK, parameters["device"], disc)
    if not disc:
        return
    block = dbusmock.get_object(BLOCK)
    block.AddProperties(FILESYSTEM_IFACE, {"MountPoints": file_names([mounted] if mounted else [])})
    unmounted = (f"raise dbus.exceptions.DBusException('target is busy', name='{error}')"
                 if error else
                 f"self.Set('{FILESYSTEM_IFACE}', 'MountPoints', dbus.Array([], signature='ay'))")
    block.AddMethods(FILESYSTEM_IFACE, [
        ("Mount", "a{sv}", "s",
         f"self.Set('{FILESYSTEM_IFACE}', 'MountPoints', "
         f"dbus.Array([dbus.Array(list({folder!r}.encode() + b'\\0'), signature='y')], "
         f"signature='ay'))\nret = {folder!r}"),
        ("Unmount", "a{sv}", "", f"time.sleep({delay})\n{unmounted}"),
    ])
