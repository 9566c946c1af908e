; The setup's own texts in Brazilian Portuguese, in the program's words (data/lang/pt-BR.po).
; See English.nsh.
LangString CX_WELCOME ${LANG_PORTUGUESEBR} "Este programa instalará o ${PRODUCT} ${VERSION}, o limpador de disco, no seu computador.$\r$\n$\r$\nO instalador precisa de permissões de administrador: ele instala o ${PRODUCT} para todos os usuários deste computador. Uma versão anterior é substituída; suas configurações são mantidas.$\r$\n$\r$\nFeche o ${PRODUCT} antes de continuar."
LangString CX_START ${LANG_PORTUGUESEBR} "Iniciar o ${PRODUCT}"
LangString CX_RUNNING ${LANG_PORTUGUESEBR} "O ${PRODUCT} está em execução. Feche-o (também o ícone dele na área de notificação) e inicie ${what} novamente."
LangString CX_NEEDS_ADMIN ${LANG_PORTUGUESEBR} "${what} precisa de permissões de administrador. Inicie-o novamente como administrador."
LangString CX_64BIT_ONLY ${LANG_PORTUGUESEBR} "Este instalador é para o Windows de 64 bits."
LangString CX_REMOVE_SETTINGS ${LANG_PORTUGUESEBR} "Remover também suas configurações do ${PRODUCT}?"
LangString CX_SETUP_SUBJECT ${LANG_PORTUGUESEBR} "O instalador"
LangString CX_UNINSTALLER_SUBJECT ${LANG_PORTUGUESEBR} "O desinstalador"
LangString CX_SETUP_OBJECT ${LANG_PORTUGUESEBR} "o instalador"
LangString CX_UNINSTALLER_OBJECT ${LANG_PORTUGUESEBR} "o desinstalador"
