"""The Wine prefix a test run shares, its registry, and the built programs it runs.

Environment knobs:
  LUMIVO_E2E_CONFIG      which Windows the run stands in for (default x64): x64, the 64-bit exe
                         on 64-bit Windows; wow64, the 32-bit exe on 64-bit Windows; win32, the
                         32-bit exe on 32-bit Windows. The two 64-bit ones share a prefix.
  LUMIVO_EXE             exe under test (default the configuration's build of Lumivo.exe)
  LUMIVO_E2E_EXE_WAIT    seconds to wait for the exe and the probe to be built (default 300)
  LUMIVO_E2E_KEEP_PREFIX 1 = reuse an existing prefix instead of making a new one
  LUMIVO_E2E_DIR         where the prefix and the logs go (default build/e2e)
"""

import codecs
import os
import shutil
import subprocess
from dataclasses import dataclass
from pathlib import Path

from waiting import TIME_SCALE, wait_for


@dataclass(frozen=True)
class Configuration:
    name: str
    bits: int            # the exe's, the probe's and the look-alike DLL's
    winearch: str        # the prefix's: win64 or win32
    system_folder: str   # the exe's system folder on disk: a 32-bit one on 64 bits is syswow64


CONFIGURATIONS = {c.name: c for c in (Configuration("x64", 64, "win64", "system32"),
                                      Configuration("wow64", 32, "win64", "syswow64"),
                                      Configuration("win32", 32, "win32", "system32"))}
CONFIG = CONFIGURATIONS[os.environ.get("LUMIVO_E2E_CONFIG", "x64")]

# Debian keeps wine64 beside the wine launcher, which starts the 32-bit loader first once
# wine32 is installed: 64-bit programs are started by wine64 itself.
WINE64 = shutil.which("wine64") or "/usr/lib/wine/wine64"
WINE = WINE64 if CONFIG.bits == 64 else "wine"  # the exe's and the probe's loader
# The prefix's own programs (reg, regedit, msiexec, explorer) as that Windows has them: the
# 64-bit ones on 64-bit Windows, whose registry views and folders they see.
SYSTEM_WINE = WINE64 if CONFIG.winearch == "win64" else "wine"

REPO = Path(__file__).resolve().parents[2]
BUILD = REPO / "build" / ("windows-x64" if CONFIG.bits == 64 else "windows-x86")
E2E_DIR = Path(os.environ.get("LUMIVO_E2E_DIR", REPO / "build" / "e2e"))
PREFIX = E2E_DIR / ("prefix" if CONFIG.winearch == "win64" else "prefix32")
DRIVE_C = PREFIX / "drive_c"
SYSTEM_FOLDER = DRIVE_C / "windows" / CONFIG.system_folder
LOG_DIR = E2E_DIR / "logs" / CONFIG.name
EXE = Path(os.environ.get("LUMIVO_EXE", BUILD / "Lumivo.exe")).resolve()
PROBE_EXE = BUILD / "tests" / "e2e" / "probe" / "probe.exe"
LOOKALIKE_DLL = PROBE_EXE.with_name("lookalike.dll")
READY_MARK = PREFIX / ".lumivo-e2e-ready"
DEBUG_KEY = "HKCU\\Software\\Wine\\Debug"

# What the relay traces show; a test may widen its RelayInclude list for itself.
RELAY_FUNCTIONS = [
    "winmm.mciSendStringA", "shell32.Shell_NotifyIconA", "user32.SetWindowPos",
    "shell32.ShellExecuteA", "user32.ExitWindowsEx", "user32.MessageBoxW", "user32.MessageBoxA",
    "kernel32.GetDriveTypeA", "user32.ShowWindow", "user32.CreateWindowExA",
    "user32.CreateWindowExW", "user32.ChangeWindowMessageFilterEx",
    # kernel32 exports CreateProcessW itself: the relay logs it as KERNEL32, never as kernelbase.
    "kernelbase.CreateProcessW", "kernel32.CreateProcessW",
    # The wide calls taken where the code page cannot hold a text, the menu, COM, DLL loading.
    "shell32.Shell_NotifyIconW", "shell32.ShellExecuteW", "user32.TrackPopupMenu",
    "ole32.CoInitializeEx", "combase.CoInitializeEx", "kernelbase.LoadLibraryExW",
    "kernelbase.LoadLibraryW", "kernelbase.LoadLibraryExA", "kernelbase.LoadLibraryA",
    "kernel32.LoadLibraryExW", "kernel32.LoadLibraryW", "kernel32.LoadLibraryExA",
    "kernel32.LoadLibraryA",
    # The registration for Restart Manager's restart after an install.
    "kernel32.RegisterApplicationRestart", "kernelbase.RegisterApplicationRestart",
]
_ready = False
_failure = None


def wine_env(display=None, debug="-all"):
    env = dict(os.environ, WINEPREFIX=str(PREFIX), WINEARCH=CONFIG.winearch, WINEDEBUG=debug,
               LC_ALL="zh_CN.UTF-8",
               # No Mono/Gecko download prompts, no menu entries written to the host.
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    for name in ("WINELOADERNOEXEC", "DISPLAY"):
        env.pop(name, None)
    return dict(env, DISPLAY=display) if display else env


def windows_path(path):
    """A host path as Wine's drive Z: shows it."""
    return "Z:" + str(path).replace("/", "\\")


def run(cmd, timeout=120, check=True):
    """Runs a command in the prefix with no display; its output is in stdout and stderr."""
    return subprocess.run(cmd, env=wine_env(), timeout=timeout * TIME_SCALE, check=check,
                          stdin=subprocess.DEVNULL, capture_output=True)


def wait_server(timeout=60):
    """Waits for the prefix's wineserver to end: registry changes are on disk by then."""
    run(["wineserver", "-w"], timeout=timeout)


def registry_value(key, name):
    """The value's data as reg shows it; "" when there is no such value."""
    environment()
    out = run([SYSTEM_WINE, "reg", "query", key, "/v", name], check=False).stdout.decode(
        errors="replace")
    for line in out.splitlines():
        parts = line.split(None, 2)  # name, type, data
        if len(parts) == 3 and parts[0] == name:
            return parts[2].strip()
    return ""


def set_registry_value(key, name, *value):
    """Adds the value (reg add's /t and /d arguments) or, given none, deletes it."""
    environment()
    if value:
        run([SYSTEM_WINE, "reg", "add", key, "/v", name, *value, "/f"])
    else:
        run([SYSTEM_WINE, "reg", "delete", key, "/v", name, "/f"], check=False)
    wait_server()


def set_cd_drive(letter, present):
    """Adds (or removes) a CD-ROM drive LETTER, backed by a folder; needs no running session."""
    environment()  # a prefix made after the link would not have it
    link = PREFIX / "dosdevices" / f"{letter}:"
    link.unlink(missing_ok=True)
    if present:
        (E2E_DIR / f"cdrom-{letter}").mkdir(exist_ok=True)
        link.symlink_to(E2E_DIR / f"cdrom-{letter}")
        set_registry_value("HKLM\\Software\\Wine\\Drives", f"{letter}:", "/d", "cdrom")
    else:
        set_registry_value("HKLM\\Software\\Wine\\Drives", f"{letter}:")


def _create_prefix():
    run(["wineserver", "-k"], check=False)
    shutil.rmtree(PREFIX, ignore_errors=True)
    PREFIX.mkdir(parents=True)
    run([SYSTEM_WINE, "wineboot", "-i"], timeout=300)
    wait_server(300)
    settings = (Path(__file__).with_name("prefix.reg").read_text() +
                f'\n[{DEBUG_KEY.replace("HKCU", "HKEY_CURRENT_USER")}]\n'
                f'"RelayInclude"="{";".join(RELAY_FUNCTIONS)}"\n')
    reg = E2E_DIR / "lumivo-e2e.reg"
    reg.write_bytes(codecs.BOM_UTF16_LE + settings.replace("\n", "\r\n").encode("utf-16-le"))
    run([SYSTEM_WINE, "regedit", "/S", str(reg)])
    wait_server(300)
    (E2E_DIR / "cdrom").mkdir(exist_ok=True)
    (E2E_DIR / "cdrom" / "readme.txt").write_text("Lumivo e2e test disc\n")
    (PREFIX / "dosdevices" / "e:").unlink(missing_ok=True)
    (PREFIX / "dosdevices" / "e:").symlink_to(E2E_DIR / "cdrom")
    READY_MARK.write_text("ok\n")


def _wait_built():
    """The exe and the probe come from the configuration's preset, whose build may still run."""
    wait = float(os.environ.get("LUMIVO_E2E_EXE_WAIT", "300"))
    try:
        wait_for(lambda: EXE.exists() and PROBE_EXE.exists(), wait, "the build", interval=1)
    except AssertionError:
        missing = ", ".join(str(p) for p in (EXE, PROBE_EXE) if not p.exists())
        raise AssertionError(f"not built: {missing} (cmake --preset {BUILD.name} && "
                             f"cmake --build --preset {BUILD.name})") from None


def environment():
    """Once per test run: the Wine prefix and the built programs. Safe to call repeatedly."""
    global _ready, _failure
    if _failure:  # every test asks: fail each at once, not by redoing the work
        raise AssertionError(f"e2e set-up failed earlier: {_failure}")
    if _ready:
        return
    try:
        shutil.rmtree(LOG_DIR, ignore_errors=True)
        LOG_DIR.mkdir(parents=True)
        if not (os.environ.get("LUMIVO_E2E_KEEP_PREFIX") == "1" and READY_MARK.exists()):
            _create_prefix()
        _wait_built()
    except subprocess.CalledProcessError as e:
        _failure = f"{e}\n{e.stderr.decode(errors='replace')}"
        raise AssertionError(_failure) from e
    except Exception as e:
        _failure = str(e)
        raise
    _ready = True
