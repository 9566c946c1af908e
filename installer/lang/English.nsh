; The setup's own texts in English, the language of a Windows whose display language the setup
; does not speak. Every language file gives each of these: makensis -WX stops at a missing one.
; ${PRODUCT} and ${VERSION} are the script's; ${what} is the setup or the uninstaller, said by the
; last four strings as the sentences that use it need it.
LangString CX_WELCOME ${LANG_ENGLISH} "This will install ${PRODUCT} ${VERSION}, the disk cleaner, on your computer.$\r$\n$\r$\nSetup needs administrator rights: it installs for every user of this computer. An earlier release is replaced; your settings are kept.$\r$\n$\r$\nClose ${PRODUCT} before you continue."
LangString CX_START ${LANG_ENGLISH} "Start ${PRODUCT}"
LangString CX_RUNNING ${LANG_ENGLISH} "${PRODUCT} is running. Close it (also its icon in the notification area), then start ${what} again."
LangString CX_NEEDS_ADMIN ${LANG_ENGLISH} "${what} needs administrator rights. Start it again as an administrator."
LangString CX_64BIT_ONLY ${LANG_ENGLISH} "This setup is for 64-bit Windows."
LangString CX_REMOVE_SETTINGS ${LANG_ENGLISH} "Also remove your ${PRODUCT} settings?"
; ${what} of CX_NEEDS_ADMIN, where it begins the sentence.
LangString CX_SETUP_SUBJECT ${LANG_ENGLISH} "Setup"
LangString CX_UNINSTALLER_SUBJECT ${LANG_ENGLISH} "The uninstaller"
; ${what} of CX_RUNNING, what is started again.
LangString CX_SETUP_OBJECT ${LANG_ENGLISH} "Setup"
LangString CX_UNINSTALLER_OBJECT ${LANG_ENGLISH} "the uninstaller"
