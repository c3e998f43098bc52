"""What the tests know of Lumivo from the outside: names, texts, commands and message codes."""

MAIN_TITLE = "Lumivo v1.2"
OWN_CLASSES = ("Lumivo.Form", "Lumivo.PictureBox")
SINGLE_INSTANCE_MUTEX = "Local\\Lumivo.SingleInstance"
ALREADY_RUNNING = "Lumivo程序已经运行，请用鼠标左、右键点击状态栏中的*光驱*进行操作！"

CLOSED, OPEN = "set CDAudio door closed", "set CDAudio door open"
GREEN, RED = (0, 255, 0), (255, 0, 0)  # the lamp: green once the door is closed, red once open

# The menu: 退出程序, 使用说明, 关于软件, 浏览光盘, 立即重启, 立即关机, with separators.
MENU_EXIT, MENU_README, MENU_ABOUT, MENU_BROWSE = 0, 1, 2, 3
MENU_ITEMS = 6
MENU_ROWS = ["item", "separator", "item", "item", "separator", "item", "separator", "item", "item"]

# The About window and a point on each of its lines (window pixels), with the tip shown there.
ABOUT_SIZE = (248, 119)
ABOUT_PANEL = ((120, 36), "单击关闭此图形窗口")
ABOUT_WEB_LINE = ((120, 81), "欢迎访问Norbek网站,还有更多更好的软件等你下载哟!")
ABOUT_MAIL_LINE = ((120, 105), "您有什么建议和意见,请一定伊妹儿我哟,先谢了!")
HOME_PAGE = "http://www.norbek.example/"
MAIL = "mailto:norbek@norbek.example?subject=Lumivo程序"

# The drives it asks about when it browses the CD drives, and what each launcher starts:
# (the paths the program may be found at, its command line).
DRIVES = [f"{letter}:\\" for letter in "CDEFGHIJKLM"]
# The system folder as the exe names it (GetSystemDirectory), where it starts programs and
# loads DLLs from: System32 for a 32-bit exe on 64-bit Windows too, where the file system
# takes it to SysWOW64.
SYSTEM32 = "c:\\windows\\system32\\"
SYSTEM_EXPLORER = {SYSTEM32 + "explorer.exe", "c:\\windows\\explorer.exe"}
BROWSE_E, BROWSE_G = (SYSTEM_EXPLORER, "explorer E:"), (SYSTEM_EXPLORER, "explorer G:")
README = ({SYSTEM32 + "notepad.exe", "c:\\windows\\notepad.exe"}, "notepad.exe c:\\lumivo.txt")
DIAL_163 = ({SYSTEM32 + "rundll32.exe"}, "rundll32.exe rnaui.dll,RnaDial 163")
DIAL_NORBEK = ({SYSTEM32 + "rundll32.exe"}, "rundll32.exe rnaui.dll,RnaDial Norbek-163")

# The tray callback is WM_MOUSEMOVE to an icon's host window; lParam carries the mouse message.
TRAY_CALLBACK = 0x200
LEFT_DOWN, RIGHT_UP, RIGHT_DOUBLE = 0x201, 0x205, 0x206
NIM_ADD, NIM_DELETE = 0, 2
WM_CLOSE, WM_CANCELMODE, WM_TIMER = 0x10, 0x1F, 0x113
MB_OK, MB_SETFOREGROUND = 0, 0x10000
TPM_RIGHTBUTTON = 0x2
COINIT_APARTMENTTHREADED, COINIT_DISABLE_OLE1DDE = 0x2, 0x4

# The lamps' tips.
CLOSED_TIP = "[Lumivo]单击左键弹出光驱,单击右键关闭光驱,双击右键弹出菜单."
OPEN_TIP = "Lumivo -> 单击左键打开光驱,单击右键关闭光驱,双击右键弹出菜单."

# Longer than the double-click time (500 ms): two clicks on the lamp stay two single clicks.
CLICK_GAP = 0.6

# The installers' Start-menu shortcuts for the door: name, its /door verb, its key with
# Ctrl+Alt+Shift.
DOOR_SHORTCUTS = {"弹出光驱": ("open", "O"), "关闭光驱": ("close", "C")}
