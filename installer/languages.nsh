; The installer's languages: NSIS shows its pages in the user's Windows
; language where it has it, else in English; these are its own texts in
; each. UTF-8 with a byte order mark, so that makensis reads it as Unicode.

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Dutch"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "SimpChinese"

!macro Texts lang title subtitle checkbox runNow closing stillRunning removeAlerts
  LangString SignInTitle ${LANG_${lang}} "${title}"
  LangString SignInSubtitle ${LANG_${lang}} "${subtitle}"
  LangString SignInCheckbox ${LANG_${lang}} "${checkbox}"
  LangString RunNow ${LANG_${lang}} "${runNow}"
  LangString Closing ${LANG_${lang}} "${closing}"
  LangString StillRunning ${LANG_${lang}} "${stillRunning}"
  LangString RemoveAlerts ${LANG_${lang}} "${removeAlerts}"
!macroend

!insertmacro Texts ENGLISH "Start at sign-in" "Chimewatch can start by itself, so that no alert is missed after a restart." \
  "Start Chimewatch when I sign in" "Start Chimewatch now" "Closing the running Chimewatch" \
  "Chimewatch is still running. Close it, then click Retry." "Also remove your stored alerts?"
!insertmacro Texts GERMAN "Start bei der Anmeldung" "Chimewatch kann von selbst starten, damit nach einem Neustart keine Erinnerung verpasst wird." \
  "Chimewatch bei meiner Anmeldung starten" "Chimewatch jetzt starten" "Das laufende Chimewatch wird beendet" \
  "Chimewatch läuft noch. Beenden Sie es und klicken Sie dann auf Wiederholen." "Auch Ihre gespeicherten Erinnerungen entfernen?"
!insertmacro Texts FRENCH "Démarrage à la connexion" "Chimewatch peut démarrer tout seul, pour qu'aucune alerte ne soit manquée après un redémarrage." \
  "Démarrer Chimewatch à ma connexion" "Démarrer Chimewatch maintenant" "Fermeture de Chimewatch en cours d'exécution" \
  "Chimewatch est toujours en cours d'exécution. Fermez-le, puis cliquez sur Recommencer." "Supprimer aussi vos alertes enregistrées ?"
!insertmacro Texts DUTCH "Starten bij aanmelden" "Chimewatch kan vanzelf starten, zodat er na een herstart geen herinnering wordt gemist." \
  "Chimewatch starten als ik me aanmeld" "Chimewatch nu starten" "De actieve Chimewatch wordt afgesloten" \
  "Chimewatch is nog actief. Sluit het af en klik dan op Opnieuw." "Ook uw opgeslagen herinneringen verwijderen?"
!insertmacro Texts SPANISH "Inicio al iniciar sesión" "Chimewatch puede iniciarse solo, para no perder ningún aviso tras un reinicio." \
  "Iniciar Chimewatch al iniciar sesión" "Iniciar Chimewatch ahora" "Cerrando el Chimewatch en ejecución" \
  "Chimewatch sigue en ejecución. Ciérrelo y haga clic en Reintentar." "¿Quitar también los avisos guardados?"
!insertmacro Texts ITALIAN "Avvio all'accesso" "Chimewatch può avviarsi da solo, così nessun promemoria va perso dopo un riavvio." \
  "Avvia Chimewatch quando accedo" "Avvia Chimewatch ora" "Chiusura di Chimewatch in esecuzione" \
  "Chimewatch è ancora in esecuzione. Chiudilo, poi fai clic su Riprova." "Rimuovere anche i promemoria salvati?"
!insertmacro Texts PORTUGUESEBR "Iniciar ao entrar" "O Chimewatch pode iniciar sozinho, para que nenhum alerta seja perdido após reiniciar." \
  "Iniciar o Chimewatch quando eu entrar" "Iniciar o Chimewatch agora" "Fechando o Chimewatch em execução" \
  "O Chimewatch ainda está em execução. Feche-o e clique em Repetir." "Remover também os alertas salvos?"
!insertmacro Texts POLISH "Uruchamianie przy logowaniu" "Chimewatch może uruchamiać się sam, aby po ponownym uruchomieniu nie przegapić żadnego przypomnienia." \
  "Uruchamiaj Chimewatch po zalogowaniu" "Uruchom Chimewatch teraz" "Zamykanie działającego programu Chimewatch" \
  "Chimewatch nadal działa. Zamknij go, a następnie kliknij Ponów próbę." "Usunąć także zapisane przypomnienia?"
!insertmacro Texts RUSSIAN "Запуск при входе" "Chimewatch может запускаться сам, чтобы после перезагрузки не пропустить ни одного напоминания." \
  "Запускать Chimewatch при входе в систему" "Запустить Chimewatch сейчас" "Закрытие запущенного Chimewatch" \
  "Chimewatch всё ещё работает. Закройте его и нажмите «Повторить»." "Удалить также сохранённые напоминания?"
!insertmacro Texts JAPANESE "サインイン時に起動" "Chimewatch は自動的に起動できるので、再起動後もアラームを見逃しません。" \
  "サインイン時に Chimewatch を起動する" "Chimewatch を今すぐ起動する" "実行中の Chimewatch を終了しています" \
  "Chimewatch はまだ実行中です。終了してから [再試行] をクリックしてください。" "保存されているアラームも削除しますか?"
!insertmacro Texts SIMPCHINESE "登录时启动" "Chimewatch 可以自动启动,重启后不会错过任何提醒。" \
  "登录时启动 Chimewatch" "立即启动 Chimewatch" "正在关闭运行中的 Chimewatch" \
  "Chimewatch 仍在运行。请关闭它,然后单击“重试”。" "同时删除已保存的提醒吗?"
