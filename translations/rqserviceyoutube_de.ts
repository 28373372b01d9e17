<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CheckPath</name>
    <message>
        <source>Cannot save here</source>
        <translation>Speichern hier nicht möglich</translation>
    </message>
    <message>
        <source>No folder is chosen. Please choose a folder to save to.</source>
        <translation>Es ist kein Ordner gewählt. Bitte wählen Sie einen Ordner zum Speichern.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a file, not a folder. Please choose a folder.</source>
        <translation>„%1“ ist eine Datei, kein Ordner. Bitte wählen Sie einen Ordner.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist and cannot be created. Please choose another folder.</source>
        <translation>Der Ordner „%1“ existiert nicht und kann nicht angelegt werden. Bitte wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>Files cannot be saved in the folder &quot;%1&quot; (%2). Please choose another folder.</source>
        <translation>Im Ordner „%1“ können keine Dateien gespeichert werden (%2). Bitte wählen Sie einen anderen Ordner.</translation>
    </message>
</context>
<context>
    <name>HostApplication</name>
    <message>
        <source>Resuming the upload at %1%</source>
        <translation>Das Hochladen wird bei %1 % fortgesetzt</translation>
    </message>
    <message>
        <source>The file to share does not exist: %1</source>
        <translation>Die zu teilende Datei existiert nicht: %1</translation>
    </message>
    <message>
        <source>%1 is a folder, not a video file.</source>
        <translation>%1 ist ein Ordner, keine Videodatei.</translation>
    </message>
    <message>
        <source>%1 is not a video file (it is a pipe, a device or a socket).</source>
        <translation>%1 ist keine Videodatei (sondern eine Pipe, ein Gerät oder ein Socket).</translation>
    </message>
    <message>
        <source>%1 cannot be read: this user has no permission to read it.</source>
        <translation>%1 kann nicht gelesen werden: Dieser Benutzer hat keine Leseberechtigung.</translation>
    </message>
    <message>
        <source>%1 is empty: it holds no video.</source>
        <translation>%1 ist leer: Die Datei enthält kein Video.</translation>
    </message>
    <message>
        <source>Video saved</source>
        <translation>Video gespeichert</translation>
    </message>
    <message>
        <source>The video was saved to %1</source>
        <translation>Das Video wurde als %1 gespeichert</translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>Im Ordner anzeigen</translation>
    </message>
    <message>
        <source>No file manager could be opened. Find the video at %1</source>
        <translation>Es konnte kein Dateimanager geöffnet werden. Sie finden das Video unter %1</translation>
    </message>
    <message>
        <source>Signing in failed. %1</source>
        <translation>Die Anmeldung ist fehlgeschlagen. %1</translation>
    </message>
    <message>
        <source>Sign-in failed</source>
        <translation>Anmeldung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Cannot share the video</source>
        <translation>Das Video kann nicht geteilt werden</translation>
    </message>
    <message>
        <source>%1 is not a video this program can read; it may be damaged or incomplete.</source>
        <translation>%1 ist kein Video, das dieses Programm lesen kann; die Datei ist vielleicht beschädigt oder unvollständig.</translation>
    </message>
    <message>
        <source>Sharing cancelled</source>
        <translation>Teilen abgebrochen</translation>
    </message>
    <message>
        <source>The sharing was cancelled: the video was neither uploaded nor saved.</source>
        <translation>Das Teilen wurde abgebrochen: Das Video wurde weder hochgeladen noch gespeichert.</translation>
    </message>
</context>
<context>
    <name>HostLook</name>
    <message>
        <source>Sign out</source>
        <translation>Abmelden</translation>
    </message>
    <message>
        <source>Share to YouTube</source>
        <translation>Auf YouTube teilen</translation>
    </message>
</context>
<context>
    <name>HostProgram</name>
    <message>
        <source>Shares a video file to YouTube through the RQServiceYouTube plug-in: describe it in the dialog, sign in, and the host converts it with the chosen preset and uploads it.</source>
        <translation>Teilt eine Videodatei über das Plug-in RQServiceYouTube auf YouTube: Sie beschreiben das Video im Dialog und melden sich an, und das Programm wandelt es mit der gewählten Voreinstellung um und lädt es hoch.</translation>
    </message>
    <message>
        <source>The video file to share.</source>
        <translation>Die zu teilende Videodatei.</translation>
    </message>
    <message>
        <source>Share to a local youtube-emulator started for this run (no Google account needed).</source>
        <translation>Auf einen lokalen youtube-emulator teilen, der für diesen Lauf gestartet wird (kein Google-Konto nötig).</translation>
    </message>
    <message>
        <source>Google OAuth client id (default: TAVRIX_YOUTUBE_CLIENT_ID or the settings).</source>
        <translation>OAuth-Client-ID von Google (Standard: TAVRIX_YOUTUBE_CLIENT_ID oder die Einstellungen).</translation>
    </message>
    <message>
        <source>Google OAuth client secret (default: TAVRIX_YOUTUBE_CLIENT_SECRET or the settings).</source>
        <translation>OAuth-Client-Geheimnis von Google (Standard: TAVRIX_YOUTUBE_CLIENT_SECRET oder die Einstellungen).</translation>
    </message>
    <message>
        <source>Leave out the part FROM-TO, in seconds; may be repeated.</source>
        <translation>Den Abschnitt FROM-TO (in Sekunden) auslassen; mehrfach möglich.</translation>
    </message>
    <message numerus="yes">
        <source>Nobody at the keyboard: keep the dialog&apos;s defaults and press Start, Sign In and Close as they come, printing each step and then &quot;Shared: LINK&quot; or &quot;Failed: REASON&quot;; gives up after %n minutes. Needs --emulator or a client id (a real account signs in in a browser).</source>
        <translation>
            <numerusform>Niemand an der Tastatur: die Vorgaben des Dialogs übernehmen und Starten, Anmelden und Schließen drücken, sobald sie erscheinen; jeder Schritt wird ausgegeben, danach „Shared: LINK“ oder „Failed: REASON“; gibt nach %n Minute auf. Braucht --emulator oder eine Client-ID (ein echtes Konto meldet sich im Browser an).</numerusform>
            <numerusform>Niemand an der Tastatur: die Vorgaben des Dialogs übernehmen und Starten, Anmelden und Schließen drücken, sobald sie erscheinen; jeder Schritt wird ausgegeben, danach „Shared: LINK“ oder „Failed: REASON“; gibt nach %n Minuten auf. Braucht --emulator oder eine Client-ID (ein echtes Konto meldet sich im Browser an).</numerusform>
        </translation>
    </message>
    <message>
        <source>Show the windows in this language (de, fr, en, ...; default: the setting Interface/Language, else the system&apos;s).</source>
        <translation>Die Fenster in dieser Sprache zeigen (de, fr, en, ...; Standard: die Einstellung Interface/Language, sonst die des Systems).</translation>
    </message>
    <message>
        <source>give exactly one video file (see --help).</source>
        <translation>geben Sie genau eine Videodatei an (siehe --help).</translation>
    </message>
    <message>
        <source>--cut wants FROM-TO in seconds, not &quot;%1&quot;.</source>
        <translation>--cut erwartet FROM-TO in Sekunden, nicht „%1“.</translation>
    </message>
    <message>
        <source>--unattended shares to a real account only with an OAuth client id (--client-id or TAVRIX_YOUTUBE_CLIENT_ID), and signing in to it needs a browser; add --emulator to share to the local emulator instead.</source>
        <translation>--unattended teilt auf ein echtes Konto nur mit einer OAuth-Client-ID (--client-id oder TAVRIX_YOUTUBE_CLIENT_ID), und die Anmeldung dort braucht einen Browser; mit --emulator wird stattdessen auf den lokalen Emulator geteilt.</translation>
    </message>
    <message>
        <source>cannot set up the YouTube service: %1</source>
        <translation>der YouTube-Dienst kann nicht eingerichtet werden: %1</translation>
    </message>
    <message>
        <source>Share to a youtube-emulator already running at URL (http://127.0.0.1:PORT); its state outlives this run.</source>
        <translation>Auf einen bereits unter URL (http://127.0.0.1:PORT) laufenden youtube-emulator teilen; sein Zustand bleibt über diesen Lauf hinaus erhalten.</translation>
    </message>
    <message>
        <source>%1 See --help.</source>
        <translation>%1 Siehe --help.</translation>
    </message>
    <message>
        <source>--emulator-at wants http://127.0.0.1:PORT, not &quot;%1&quot;.</source>
        <translation>--emulator-at erwartet http://127.0.0.1:PORT, nicht „%1“.</translation>
    </message>
</context>
<context>
    <name>RequestResult</name>
    <message>
        <source>Success</source>
        <translation>Erfolg</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Network unreachable</source>
        <translation>Netzwerk nicht erreichbar</translation>
    </message>
    <message>
        <source>Sign-in denied</source>
        <translation>Anmeldung verweigert</translation>
    </message>
    <message>
        <source>Sign-in expired</source>
        <translation>Anmeldung abgelaufen</translation>
    </message>
    <message>
        <source>Sign-in timed out</source>
        <translation>Zeitüberschreitung bei der Anmeldung</translation>
    </message>
    <message>
        <source>No YouTube channel</source>
        <translation>Kein YouTube-Kanal</translation>
    </message>
    <message>
        <source>Quota exceeded</source>
        <translation>Kontingent überschritten</translation>
    </message>
    <message>
        <source>Upload limit reached</source>
        <translation>Upload-Limit erreicht</translation>
    </message>
    <message>
        <source>Invalid metadata</source>
        <translation>Ungültige Metadaten</translation>
    </message>
    <message>
        <source>File unreadable</source>
        <translation>Datei nicht lesbar</translation>
    </message>
    <message>
        <source>Server error</source>
        <translation>Serverfehler</translation>
    </message>
    <message>
        <source>Forbidden</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>Protocol error</source>
        <translation>Protokollfehler</translation>
    </message>
    <message>
        <source>Browser could not be opened</source>
        <translation>Browser konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>YouTube client id not configured</source>
        <translation>Keine YouTube-Client-ID eingerichtet</translation>
    </message>
    <message>
        <source>Unknown result (%1)</source>
        <translation>Unbekanntes Ergebnis (%1)</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Erledigt.</translation>
    </message>
    <message>
        <source>It was cancelled.</source>
        <translation>Es wurde abgebrochen.</translation>
    </message>
    <message>
        <source>YouTube could not be reached. Check the internet connection and try again.</source>
        <translation>YouTube war nicht erreichbar. Prüfen Sie die Internetverbindung und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Google did not give access to the YouTube account. Sign in again and allow this program to upload.</source>
        <translation>Google hat keinen Zugriff auf das YouTube-Konto gewährt. Melden Sie sich erneut an und erlauben Sie diesem Programm das Hochladen.</translation>
    </message>
    <message>
        <source>The sign-in to YouTube has expired or was withdrawn. Sign in again.</source>
        <translation>Die Anmeldung bei YouTube ist abgelaufen oder wurde widerrufen. Melden Sie sich erneut an.</translation>
    </message>
    <message>
        <source>The sign-in was not finished in the browser in time. Try again.</source>
        <translation>Die Anmeldung wurde im Browser nicht rechtzeitig abgeschlossen. Versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>This Google account has no YouTube channel. Create one on youtube.com, or sign in with another account.</source>
        <translation>Dieses Google-Konto hat keinen YouTube-Kanal. Erstellen Sie einen auf youtube.com oder melden Sie sich mit einem anderen Konto an.</translation>
    </message>
    <message>
        <source>The daily upload quota is used up. It resets at midnight Pacific time; try again after that.</source>
        <translation>Das tägliche Upload-Kontingent ist aufgebraucht. Es wird um Mitternacht pazifischer Zeit zurückgesetzt; versuchen Sie es danach erneut.</translation>
    </message>
    <message>
        <source>YouTube takes no more uploads from this account for now. Try again later, usually within a day.</source>
        <translation>YouTube nimmt von diesem Konto vorerst keine Uploads mehr an. Versuchen Sie es später erneut, meist innerhalb eines Tages.</translation>
    </message>
    <message>
        <source>YouTube refused the title, description or tags. Change them and try again.</source>
        <translation>YouTube hat den Titel, die Beschreibung oder die Tags abgelehnt. Ändern Sie sie und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The video file could not be read.</source>
        <translation>Die Videodatei konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>YouTube has a problem on its side. Try again in a few minutes.</source>
        <translation>YouTube hat ein Problem auf seiner Seite. Versuchen Sie es in ein paar Minuten erneut.</translation>
    </message>
    <message>
        <source>YouTube does not let this account upload. Check the account on youtube.com.</source>
        <translation>YouTube lässt mit diesem Konto keine Uploads zu. Prüfen Sie das Konto auf youtube.com.</translation>
    </message>
    <message>
        <source>The answer from Google could not be understood or trusted. Try again.</source>
        <translation>Die Antwort von Google war unverständlich oder nicht vertrauenswürdig. Versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>No web browser could be opened for the sign-in. Set a default browser and try again.</source>
        <translation>Für die Anmeldung konnte kein Webbrowser geöffnet werden. Legen Sie einen Standardbrowser fest und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>This program has no YouTube client id, so it cannot sign in. The README explains how to get one.</source>
        <translation>Dieses Programm hat keine YouTube-Client-ID und kann sich daher nicht anmelden. Die README erklärt, wie Sie eine erhalten.</translation>
    </message>
    <message>
        <source>Something went wrong. Try again.</source>
        <translation>Etwas ist schiefgegangen. Versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>SharingAuthorizationDialog</name>
    <message>
        <source>Sharing</source>
        <translation>Teilen</translation>
    </message>
    <message>
        <source>Save without uploading</source>
        <translation>Ohne Hochladen speichern</translation>
    </message>
    <message>
        <source>Sign in to upload</source>
        <translation>Zum Hochladen anmelden</translation>
    </message>
    <message>
        <source>You are not signed in. Sign in to upload the video, or save it on this computer without uploading.</source>
        <translation>Sie sind nicht angemeldet. Melden Sie sich an, um das Video hochzuladen, oder speichern Sie es ohne Hochladen auf diesem Computer.</translation>
    </message>
    <message>
        <source>Sign In</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>This account cannot upload</source>
        <translation>Mit diesem Konto ist kein Hochladen möglich</translation>
    </message>
    <message>
        <source>The signed-in account cannot upload videos. Go back to sign in with another account, or save the video on this computer without uploading.</source>
        <translation>Mit dem angemeldeten Konto können keine Videos hochgeladen werden. Gehen Sie zurück, um sich mit einem anderen Konto anzumelden, oder speichern Sie das Video ohne Hochladen auf diesem Computer.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation>Erneut versuchen</translation>
    </message>
</context>
<context>
    <name>SharingProgressBehaviour</name>
    <message>
        <source>Working...</source>
        <translation>In Arbeit...</translation>
    </message>
    <message>
        <source>Cancelling...</source>
        <translation>Wird abgebrochen...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Elapsed: %1</source>
        <translation>Verstrichen: %1</translation>
    </message>
    <message>
        <source>Remaining: %1</source>
        <translation>Verbleibend: %1</translation>
    </message>
    <message>
        <source>Paused - %p%</source>
        <translation>Angehalten – %p&#xa0;%</translation>
    </message>
    <message>
        <source>Sharing</source>
        <translation>Teilen</translation>
    </message>
</context>
<context>
    <name>SharingResultBehaviour</name>
    <message>
        <source>Copied</source>
        <translation>Kopiert</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Copy link</source>
        <translation>Link kopieren</translation>
    </message>
    <message>
        <source>The video was saved to %1</source>
        <translation>Das Video wurde als %1 gespeichert</translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>Im Ordner anzeigen</translation>
    </message>
    <message>
        <source>%1 - Sharing</source>
        <translation>%1 – Teilen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Your video has been uploaded.</source>
        <translation>Ihr Video wurde hochgeladen.</translation>
    </message>
    <message>
        <source>The upload was cancelled.</source>
        <translation>Das Hochladen wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The video could not be uploaded.</source>
        <translation>Das Video konnte nicht hochgeladen werden.</translation>
    </message>
    <message>
        <source>The file to share does not exist: %1</source>
        <translation>Die zu teilende Datei existiert nicht: %1</translation>
    </message>
    <message>
        <source>No file manager could be opened. The video is in %1</source>
        <translation>Es konnte kein Dateimanager geöffnet werden. Das Video liegt in %1</translation>
    </message>
    <message>
        <source>No web browser could be opened. The link is copied; paste it into a browser.</source>
        <translation>Es konnte kein Webbrowser geöffnet werden. Der Link wurde kopiert; fügen Sie ihn in einen Browser ein.</translation>
    </message>
    <message>
        <source>No web browser could be opened. Open the link above in a browser.</source>
        <translation>Es konnte kein Webbrowser geöffnet werden. Öffnen Sie den Link oben in einem Browser.</translation>
    </message>
    <message>
        <source>Sharing</source>
        <translation>Teilen</translation>
    </message>
    <message>
        <source>The file to share does not exist.</source>
        <translation>Die zu teilende Datei existiert nicht.</translation>
    </message>
</context>
<context>
    <name>UnattendedRun</name>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 Sekunde</translation>
    </message>
    <message numerus="yes">
        <source>%n seconds</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
    <message>
        <source>the sharing dialog&apos;s Start is disabled: %1</source>
        <translation>„Starten“ im Teilen-Dialog ist gesperrt: %1</translation>
    </message>
    <message>
        <source>no reason shown</source>
        <translation>kein Grund angezeigt</translation>
    </message>
    <message>
        <source>the sharing dialog offers no resolution to convert to (no presets found)</source>
        <translation>der Teilen-Dialog bietet keine Auflösung zum Umwandeln an (keine Voreinstellungen gefunden)</translation>
    </message>
    <message>
        <source>Sharing &quot;%1&quot; at %2...</source>
        <translation>„%1“ wird mit %2 geteilt...</translation>
    </message>
    <message>
        <source>the default preset</source>
        <translation>der Standardvoreinstellung</translation>
    </message>
    <message>
        <source>the sharing did not start</source>
        <translation>das Teilen hat nicht begonnen</translation>
    </message>
    <message>
        <source>the sharing did not start: %1</source>
        <translation>das Teilen hat nicht begonnen: %1</translation>
    </message>
    <message>
        <source>the sign-in prompt offers no way to sign in: %1</source>
        <translation>die Anmeldeaufforderung bietet keine Möglichkeit zur Anmeldung: %1</translation>
    </message>
    <message>
        <source>Signing in...</source>
        <translation>Anmeldung...</translation>
    </message>
    <message>
        <source>Working</source>
        <translation>In Arbeit</translation>
    </message>
    <message>
        <source>%1: %2%</source>
        <comment>a step&apos;s progress, in percent</comment>
        <translation>%1: %2&#xa0;%</translation>
    </message>
    <message>
        <source>Notice: %1: %2</source>
        <translation>Hinweis: %1: %2</translation>
    </message>
    <message>
        <source>the sharing did not finish within %1; giving up</source>
        <translation>das Teilen ist nicht innerhalb von %1 fertig geworden; Abbruch</translation>
    </message>
</context>
<context>
    <name>VideoConverter</name>
    <message>
        <source>Conversion failed</source>
        <translation>Umwandlung fehlgeschlagen</translation>
    </message>
    <message>
        <source>ffmpeg stopped with exit code %1</source>
        <translation>ffmpeg wurde mit dem Exit-Code %1 beendet</translation>
    </message>
    <message>
        <source>Cannot convert %1: %2</source>
        <translation>%1 kann nicht umgewandelt werden: %2</translation>
    </message>
    <message>
        <source>no output</source>
        <translation>keine Ausgabe</translation>
    </message>
    <message>
        <source>Cannot save the converted video as %1</source>
        <translation>Das umgewandelte Video kann nicht als %1 gespeichert werden</translation>
    </message>
    <message>
        <source>Another conversion is still running</source>
        <translation>Eine andere Umwandlung läuft noch</translation>
    </message>
    <message>
        <source>Cannot convert %1: no export preset was chosen</source>
        <translation>%1 kann nicht umgewandelt werden: Es wurde keine Exportvoreinstellung gewählt</translation>
    </message>
    <message>
        <source>Cannot convert %1: no output file was named</source>
        <translation>%1 kann nicht umgewandelt werden: Es wurde keine Ausgabedatei angegeben</translation>
    </message>
    <message>
        <source>Cannot convert %1: it has no video</source>
        <translation>%1 kann nicht umgewandelt werden: Die Datei enthält kein Video</translation>
    </message>
    <message>
        <source>No free file name is left beside %1</source>
        <translation>Neben %1 ist kein freier Dateiname mehr übrig</translation>
    </message>
    <message>
        <source>Cannot start %1: %2</source>
        <translation>%1 kann nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>Converting the video</source>
        <translation>Video wird umgewandelt</translation>
    </message>
    <message>
        <source>Preparing the video</source>
        <translation>Video wird vorbereitet</translation>
    </message>
</context>
<context>
    <name>YouTubeSharing</name>
    <message>
        <source>Uploading to YouTube</source>
        <translation>Hochladen auf YouTube</translation>
    </message>
</context>
<context>
    <name>YouTubeSharingDialog</name>
    <message>
        <source>%1x%2</source>
        <comment>resolution</comment>
        <translation>%1×%2</translation>
    </message>
    <message>
        <source>-</source>
        <comment>resolution no video</comment>
        <translation>–</translation>
    </message>
</context>
<context>
    <name>YouTubeSharingWidget</name>
    <message>
        <source>Save to</source>
        <translation>Speichern in</translation>
    </message>
    <message>
        <source>Access to this YouTube account is restricted. Please, choose another account.</source>
        <translation>Der Zugriff auf dieses YouTube-Konto ist eingeschränkt. Bitte wählen Sie ein anderes Konto.</translation>
    </message>
    <message>
        <source>Too short title name.</source>
        <translation>Der Titel ist zu kurz.</translation>
    </message>
    <message>
        <source>Incorrect symbols in filename</source>
        <translation>Ungültige Zeichen im Dateinamen</translation>
    </message>
    <message numerus="yes">
        <source>Sign In...</source>
        <translation>
            <numerusform>Anmelden...</numerusform>
            <numerusform>Anmelden...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>YouTube</source>
        <translation>
            <numerusform>YouTube</numerusform>
            <numerusform>YouTube</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Title:</source>
        <translation>
            <numerusform>Titel:</numerusform>
            <numerusform>Titel:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Resolution:</source>
        <translation>
            <numerusform>Auflösung:</numerusform>
            <numerusform>Auflösung:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Description:</source>
        <translation>
            <numerusform>Beschreibung:</numerusform>
            <numerusform>Beschreibung:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Category:</source>
        <translation>
            <numerusform>Kategorie:</numerusform>
            <numerusform>Kategorie:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Tags:</source>
        <translation>
            <numerusform>Schlagwörter:</numerusform>
            <numerusform>Schlagwörter:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Privacy:</source>
        <translation>
            <numerusform>Sichtbarkeit:</numerusform>
            <numerusform>Sichtbarkeit:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Save to:</source>
        <translation>
            <numerusform>Speichern in:</numerusform>
            <numerusform>Speichern in:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Browse</source>
        <translation>
            <numerusform>Durchsuchen</numerusform>
            <numerusform>Durchsuchen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Export Settings:</source>
        <translation>
            <numerusform>Exporteinstellungen:</numerusform>
            <numerusform>Exporteinstellungen:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Estimated File Size:</source>
        <translation>
            <numerusform>Geschätzte Dateigröße:</numerusform>
            <numerusform>Geschätzte Dateigröße:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Duration:</source>
        <translation>
            <numerusform>Dauer:</numerusform>
            <numerusform>Dauer:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancel</source>
        <translation>
            <numerusform>Abbrechen</numerusform>
            <numerusform>Abbrechen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Start</source>
        <translation>
            <numerusform>Starten</numerusform>
            <numerusform>Starten</numerusform>
        </translation>
    </message>
    <message>
        <source>Created with %1
%2</source>
        <translation>Erstellt mit %1
%2</translation>
    </message>
    <message>
        <source>%1, %1 %2</source>
        <comment>Tags template</comment>
        <translation>%1, %1 %2</translation>
    </message>
</context>
<context>
    <name>YoutubeNetworkProtocol</name>
    <message>
        <source>Film &amp; Animation</source>
        <translation>Filme &amp; Animationen</translation>
    </message>
    <message>
        <source>Autos &amp; Vehicles</source>
        <translation>Autos &amp; Fahrzeuge</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musik</translation>
    </message>
    <message>
        <source>Pets &amp; Animals</source>
        <translation>Tiere</translation>
    </message>
    <message>
        <source>Sports</source>
        <translation>Sport</translation>
    </message>
    <message>
        <source>Travel &amp; Events</source>
        <translation>Reisen &amp; Events</translation>
    </message>
    <message>
        <source>Gaming</source>
        <translation>Gaming</translation>
    </message>
    <message>
        <source>People &amp; Blogs</source>
        <translation>Menschen &amp; Blogs</translation>
    </message>
    <message>
        <source>Comedy</source>
        <translation>Comedy</translation>
    </message>
    <message>
        <source>Entertainment</source>
        <translation>Unterhaltung</translation>
    </message>
    <message>
        <source>News &amp; Politics</source>
        <translation>Nachrichten &amp; Politik</translation>
    </message>
    <message>
        <source>Howto &amp; Style</source>
        <translation>Praktische Tipps &amp; Styling</translation>
    </message>
    <message>
        <source>Education</source>
        <translation>Bildung</translation>
    </message>
    <message>
        <source>Science &amp; Technology</source>
        <translation>Wissenschaft &amp; Technik</translation>
    </message>
    <message>
        <source>Nonprofits &amp; Activism</source>
        <translation>Soziales Engagement</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Schlagwörter</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Sichtbarkeit</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>Öffentlich</translation>
    </message>
    <message>
        <source>Everyone can find and watch the video</source>
        <translation>Jeder kann das Video finden und ansehen</translation>
    </message>
    <message>
        <source>Unlisted</source>
        <translation>Nicht gelistet</translation>
    </message>
    <message>
        <source>Anyone with the link can watch the video</source>
        <translation>Jeder mit dem Link kann das Video ansehen</translation>
    </message>
    <message>
        <source>Private</source>
        <translation>Privat</translation>
    </message>
    <message>
        <source>Only you can watch the video</source>
        <translation>Nur Sie können das Video ansehen</translation>
    </message>
</context>
</TS>
