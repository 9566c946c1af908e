; The setup's own texts in Simplified Chinese, in the program's words (data/lang/zh-CN.po).
; See English.nsh.
LangString CX_WELCOME ${LANG_SIMPCHINESE} "将在你的计算机上安装磁盘清理工具 ${PRODUCT} ${VERSION}。$\r$\n$\r$\n安装程序需要管理员权限：它会为这台计算机的所有用户安装 ${PRODUCT}。旧版本将被替换，你的设置会保留。$\r$\n$\r$\n请先关闭 ${PRODUCT}，然后再继续。"
LangString CX_START ${LANG_SIMPCHINESE} "启动 ${PRODUCT}"
LangString CX_RUNNING ${LANG_SIMPCHINESE} "${PRODUCT} 正在运行。请关闭它（包括通知区域中的图标），然后重新启动${what}。"
LangString CX_NEEDS_ADMIN ${LANG_SIMPCHINESE} "${what}需要管理员权限。请以管理员身份重新启动。"
LangString CX_64BIT_ONLY ${LANG_SIMPCHINESE} "此安装程序适用于 64 位 Windows。"
LangString CX_REMOVE_SETTINGS ${LANG_SIMPCHINESE} "是否同时删除你的 ${PRODUCT} 设置？"
LangString CX_SETUP_SUBJECT ${LANG_SIMPCHINESE} "安装程序"
LangString CX_UNINSTALLER_SUBJECT ${LANG_SIMPCHINESE} "卸载程序"
LangString CX_SETUP_OBJECT ${LANG_SIMPCHINESE} "安装程序"
LangString CX_UNINSTALLER_OBJECT ${LANG_SIMPCHINESE} "卸载程序"
