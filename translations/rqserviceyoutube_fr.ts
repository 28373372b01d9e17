<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>CheckPath</name>
    <message>
        <source>Cannot save here</source>
        <translation>Impossible d’enregistrer ici</translation>
    </message>
    <message>
        <source>No folder is chosen. Please choose a folder to save to.</source>
        <translation>Aucun dossier n’est choisi. Veuillez choisir un dossier d’enregistrement.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a file, not a folder. Please choose a folder.</source>
        <translation>«&#xa0;%1&#xa0;» est un fichier, pas un dossier. Veuillez choisir un dossier.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist and cannot be created. Please choose another folder.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» n’existe pas et ne peut pas être créé. Veuillez choisir un autre dossier.</translation>
    </message>
    <message>
        <source>Files cannot be saved in the folder &quot;%1&quot; (%2). Please choose another folder.</source>
        <translation>Impossible d’enregistrer des fichiers dans le dossier «&#xa0;%1&#xa0;» (%2). Veuillez choisir un autre dossier.</translation>
    </message>
</context>
<context>
    <name>HostApplication</name>
    <message>
        <source>Resuming the upload at %1%</source>
        <translation>Reprise de la mise en ligne à %1 %</translation>
    </message>
    <message>
        <source>The file to share does not exist: %1</source>
        <translation>Le fichier à partager n’existe pas : %1</translation>
    </message>
    <message>
        <source>%1 is a folder, not a video file.</source>
        <translation>%1 est un dossier, pas un fichier vidéo.</translation>
    </message>
    <message>
        <source>%1 is not a video file (it is a pipe, a device or a socket).</source>
        <translation>%1 n’est pas un fichier vidéo (c’est un tube, un périphérique ou un socket).</translation>
    </message>
    <message>
        <source>%1 cannot be read: this user has no permission to read it.</source>
        <translation>Impossible de lire %1 : cet utilisateur n’a pas le droit de le lire.</translation>
    </message>
    <message>
        <source>%1 is empty: it holds no video.</source>
        <translation>%1 est vide : il ne contient aucune vidéo.</translation>
    </message>
    <message>
        <source>Video saved</source>
        <translation>Vidéo enregistrée</translation>
    </message>
    <message>
        <source>The video was saved to %1</source>
        <translation>La vidéo a été enregistrée sous %1</translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>No file manager could be opened. Find the video at %1</source>
        <translation>Aucun gestionnaire de fichiers n’a pu être ouvert. La vidéo se trouve ici : %1</translation>
    </message>
    <message>
        <source>Signing in failed. %1</source>
        <translation>La connexion a échoué. %1</translation>
    </message>
    <message>
        <source>Sign-in failed</source>
        <translation>Échec de la connexion</translation>
    </message>
    <message>
        <source>Cannot share the video</source>
        <translation>Impossible de partager la vidéo</translation>
    </message>
    <message>
        <source>%1 is not a video this program can read; it may be damaged or incomplete.</source>
        <translation>%1 n’est pas une vidéo que ce programme sait lire ; le fichier est peut-être endommagé ou incomplet.</translation>
    </message>
    <message>
        <source>Sharing cancelled</source>
        <translation>Partage annulé</translation>
    </message>
    <message>
        <source>The sharing was cancelled: the video was neither uploaded nor saved.</source>
        <translation>Le partage a été annulé : la vidéo n’a été ni mise en ligne ni enregistrée.</translation>
    </message>
</context>
<context>
    <name>HostLook</name>
    <message>
        <source>Sign out</source>
        <translation>Se déconnecter</translation>
    </message>
    <message>
        <source>Share to YouTube</source>
        <translation>Partager sur YouTube</translation>
    </message>
</context>
<context>
    <name>HostProgram</name>
    <message>
        <source>Shares a video file to YouTube through the RQServiceYouTube plug-in: describe it in the dialog, sign in, and the host converts it with the chosen preset and uploads it.</source>
        <translation>Partage un fichier vidéo sur YouTube au moyen du module RQServiceYouTube&#xa0;: décrivez la vidéo dans la boîte de dialogue, connectez-vous, et le programme la convertit avec le préréglage choisi puis la met en ligne.</translation>
    </message>
    <message>
        <source>The video file to share.</source>
        <translation>Le fichier vidéo à partager.</translation>
    </message>
    <message>
        <source>Share to a local youtube-emulator started for this run (no Google account needed).</source>
        <translation>Partager vers un youtube-emulator local démarré pour cette exécution (aucun compte Google n’est nécessaire).</translation>
    </message>
    <message>
        <source>Google OAuth client id (default: TAVRIX_YOUTUBE_CLIENT_ID or the settings).</source>
        <translation>Identifiant client OAuth de Google (par défaut&#xa0;: TAVRIX_YOUTUBE_CLIENT_ID ou les paramètres).</translation>
    </message>
    <message>
        <source>Google OAuth client secret (default: TAVRIX_YOUTUBE_CLIENT_SECRET or the settings).</source>
        <translation>Secret client OAuth de Google (par défaut&#xa0;: TAVRIX_YOUTUBE_CLIENT_SECRET ou les paramètres).</translation>
    </message>
    <message>
        <source>Leave out the part FROM-TO, in seconds; may be repeated.</source>
        <translation>Omettre la partie FROM-TO, en secondes&#xa0;; peut être répété.</translation>
    </message>
    <message numerus="yes">
        <source>Nobody at the keyboard: keep the dialog&apos;s defaults and press Start, Sign In and Close as they come, printing each step and then &quot;Shared: LINK&quot; or &quot;Failed: REASON&quot;; gives up after %n minutes. Needs --emulator or a client id (a real account signs in in a browser).</source>
        <translation>
            <numerusform>Personne au clavier&#xa0;: garde les valeurs par défaut de la boîte de dialogue et appuie sur Démarrer, Se connecter et Fermer à mesure qu’ils apparaissent, en affichant chaque étape puis «&#xa0;Shared: LINK&#xa0;» ou «&#xa0;Failed: REASON&#xa0;»&#xa0;; abandonne au bout de %n minute. Nécessite --emulator ou un identifiant client (un vrai compte se connecte dans un navigateur).</numerusform>
            <numerusform>Personne au clavier&#xa0;: garde les valeurs par défaut de la boîte de dialogue et appuie sur Démarrer, Se connecter et Fermer à mesure qu’ils apparaissent, en affichant chaque étape puis «&#xa0;Shared: LINK&#xa0;» ou «&#xa0;Failed: REASON&#xa0;»&#xa0;; abandonne au bout de %n minutes. Nécessite --emulator ou un identifiant client (un vrai compte se connecte dans un navigateur).</numerusform>
        </translation>
    </message>
    <message>
        <source>Show the windows in this language (de, fr, en, ...; default: the setting Interface/Language, else the system&apos;s).</source>
        <translation>Afficher les fenêtres dans cette langue (de, fr, en, ...&#xa0;; par défaut&#xa0;: le paramètre Interface/Language, sinon celle du système).</translation>
    </message>
    <message>
        <source>give exactly one video file (see --help).</source>
        <translation>indiquez exactement un fichier vidéo (voir --help).</translation>
    </message>
    <message>
        <source>--cut wants FROM-TO in seconds, not &quot;%1&quot;.</source>
        <translation>--cut attend FROM-TO en secondes, et non «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>--unattended shares to a real account only with an OAuth client id (--client-id or TAVRIX_YOUTUBE_CLIENT_ID), and signing in to it needs a browser; add --emulator to share to the local emulator instead.</source>
        <translation>--unattended ne partage vers un vrai compte qu’avec un identifiant client OAuth (--client-id ou TAVRIX_YOUTUBE_CLIENT_ID), et la connexion à ce compte nécessite un navigateur&#xa0;; ajoutez --emulator pour partager plutôt vers l’émulateur local.</translation>
    </message>
    <message>
        <source>cannot set up the YouTube service: %1</source>
        <translation>impossible de configurer le service YouTube&#xa0;: %1</translation>
    </message>
    <message>
        <source>Share to a youtube-emulator already running at URL (http://127.0.0.1:PORT); its state outlives this run.</source>
        <translation>Partager vers un youtube-emulator déjà lancé à l’adresse URL (http://127.0.0.1:PORT) ; son état survit à cette exécution.</translation>
    </message>
    <message>
        <source>%1 See --help.</source>
        <translation>%1 Voir --help.</translation>
    </message>
    <message>
        <source>--emulator-at wants http://127.0.0.1:PORT, not &quot;%1&quot;.</source>
        <translation>--emulator-at attend http://127.0.0.1:PORT, et non « %1 ».</translation>
    </message>
</context>
<context>
    <name>RequestResult</name>
    <message>
        <source>Success</source>
        <translation>Succès</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Annulé</translation>
    </message>
    <message>
        <source>Network unreachable</source>
        <translation>Réseau inaccessible</translation>
    </message>
    <message>
        <source>Sign-in denied</source>
        <translation>Connexion refusée</translation>
    </message>
    <message>
        <source>Sign-in expired</source>
        <translation>Connexion expirée</translation>
    </message>
    <message>
        <source>Sign-in timed out</source>
        <translation>Délai de connexion dépassé</translation>
    </message>
    <message>
        <source>No YouTube channel</source>
        <translation>Aucune chaîne YouTube</translation>
    </message>
    <message>
        <source>Quota exceeded</source>
        <translation>Quota dépassé</translation>
    </message>
    <message>
        <source>Upload limit reached</source>
        <translation>Limite de mises en ligne atteinte</translation>
    </message>
    <message>
        <source>Invalid metadata</source>
        <translation>Métadonnées non valides</translation>
    </message>
    <message>
        <source>File unreadable</source>
        <translation>Fichier illisible</translation>
    </message>
    <message>
        <source>Server error</source>
        <translation>Erreur du serveur</translation>
    </message>
    <message>
        <source>Forbidden</source>
        <translation>Interdit</translation>
    </message>
    <message>
        <source>Protocol error</source>
        <translation>Erreur de protocole</translation>
    </message>
    <message>
        <source>Browser could not be opened</source>
        <translation>Impossible d’ouvrir le navigateur</translation>
    </message>
    <message>
        <source>YouTube client id not configured</source>
        <translation>Identifiant client YouTube non configuré</translation>
    </message>
    <message>
        <source>Unknown result (%1)</source>
        <translation>Résultat inconnu (%1)</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Terminé.</translation>
    </message>
    <message>
        <source>It was cancelled.</source>
        <translation>L’opération a été annulée.</translation>
    </message>
    <message>
        <source>YouTube could not be reached. Check the internet connection and try again.</source>
        <translation>YouTube est injoignable. Vérifiez la connexion à Internet et réessayez.</translation>
    </message>
    <message>
        <source>Google did not give access to the YouTube account. Sign in again and allow this program to upload.</source>
        <translation>Google n’a pas donné accès au compte YouTube. Reconnectez-vous et autorisez ce programme à mettre des vidéos en ligne.</translation>
    </message>
    <message>
        <source>The sign-in to YouTube has expired or was withdrawn. Sign in again.</source>
        <translation>La connexion à YouTube a expiré ou a été révoquée. Reconnectez-vous.</translation>
    </message>
    <message>
        <source>The sign-in was not finished in the browser in time. Try again.</source>
        <translation>La connexion n’a pas été terminée à temps dans le navigateur. Réessayez.</translation>
    </message>
    <message>
        <source>This Google account has no YouTube channel. Create one on youtube.com, or sign in with another account.</source>
        <translation>Ce compte Google n’a pas de chaîne YouTube. Créez-en une sur youtube.com ou connectez-vous avec un autre compte.</translation>
    </message>
    <message>
        <source>The daily upload quota is used up. It resets at midnight Pacific time; try again after that.</source>
        <translation>Le quota quotidien de mises en ligne est épuisé. Il est réinitialisé à minuit, heure du Pacifique ; réessayez ensuite.</translation>
    </message>
    <message>
        <source>YouTube takes no more uploads from this account for now. Try again later, usually within a day.</source>
        <translation>YouTube n’accepte plus de mises en ligne de ce compte pour le moment. Réessayez plus tard, en général dans la journée.</translation>
    </message>
    <message>
        <source>YouTube refused the title, description or tags. Change them and try again.</source>
        <translation>YouTube a refusé le titre, la description ou les tags. Modifiez-les et réessayez.</translation>
    </message>
    <message>
        <source>The video file could not be read.</source>
        <translation>Le fichier vidéo n’a pas pu être lu.</translation>
    </message>
    <message>
        <source>YouTube has a problem on its side. Try again in a few minutes.</source>
        <translation>YouTube rencontre un problème de son côté. Réessayez dans quelques minutes.</translation>
    </message>
    <message>
        <source>YouTube does not let this account upload. Check the account on youtube.com.</source>
        <translation>YouTube n’autorise pas ce compte à mettre des vidéos en ligne. Vérifiez le compte sur youtube.com.</translation>
    </message>
    <message>
        <source>The answer from Google could not be understood or trusted. Try again.</source>
        <translation>La réponse de Google était incompréhensible ou peu fiable. Réessayez.</translation>
    </message>
    <message>
        <source>No web browser could be opened for the sign-in. Set a default browser and try again.</source>
        <translation>Aucun navigateur web n’a pu être ouvert pour la connexion. Définissez un navigateur par défaut et réessayez.</translation>
    </message>
    <message>
        <source>This program has no YouTube client id, so it cannot sign in. The README explains how to get one.</source>
        <translation>Ce programme n’a pas d’identifiant client YouTube et ne peut donc pas se connecter. Le fichier README explique comment en obtenir un.</translation>
    </message>
    <message>
        <source>Something went wrong. Try again.</source>
        <translation>Un problème est survenu. Réessayez.</translation>
    </message>
</context>
<context>
    <name>SharingAuthorizationDialog</name>
    <message>
        <source>Sharing</source>
        <translation>Partage</translation>
    </message>
    <message>
        <source>Save without uploading</source>
        <translation>Enregistrer sans mettre en ligne</translation>
    </message>
    <message>
        <source>Sign in to upload</source>
        <translation>Connectez-vous pour mettre en ligne</translation>
    </message>
    <message>
        <source>You are not signed in. Sign in to upload the video, or save it on this computer without uploading.</source>
        <translation>Vous n’êtes pas connecté. Connectez-vous pour mettre la vidéo en ligne, ou enregistrez-la sur cet ordinateur sans la mettre en ligne.</translation>
    </message>
    <message>
        <source>Sign In</source>
        <translation>Se connecter</translation>
    </message>
    <message>
        <source>This account cannot upload</source>
        <translation>Ce compte ne peut pas mettre de vidéos en ligne</translation>
    </message>
    <message>
        <source>The signed-in account cannot upload videos. Go back to sign in with another account, or save the video on this computer without uploading.</source>
        <translation>Le compte connecté ne peut pas mettre de vidéos en ligne. Revenez en arrière pour vous connecter avec un autre compte, ou enregistrez la vidéo sur cet ordinateur sans la mettre en ligne.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation>Réessayer</translation>
    </message>
</context>
<context>
    <name>SharingProgressBehaviour</name>
    <message>
        <source>Working...</source>
        <translation>Traitement en cours...</translation>
    </message>
    <message>
        <source>Cancelling...</source>
        <translation>Annulation...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Elapsed: %1</source>
        <translation>Écoulé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Remaining: %1</source>
        <translation>Restant&#xa0;: %1</translation>
    </message>
    <message>
        <source>Paused - %p%</source>
        <translation>En pause – %p&#xa0;%</translation>
    </message>
    <message>
        <source>Sharing</source>
        <translation>Partage</translation>
    </message>
</context>
<context>
    <name>SharingResultBehaviour</name>
    <message>
        <source>Copied</source>
        <translation>Copié</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Copy link</source>
        <translation>Copier le lien</translation>
    </message>
    <message>
        <source>The video was saved to %1</source>
        <translation>La vidéo a été enregistrée sous %1</translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>%1 - Sharing</source>
        <translation>%1 – Partage</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Your video has been uploaded.</source>
        <translation>Votre vidéo a été mise en ligne.</translation>
    </message>
    <message>
        <source>The upload was cancelled.</source>
        <translation>La mise en ligne a été annulée.</translation>
    </message>
    <message>
        <source>The video could not be uploaded.</source>
        <translation>La vidéo n’a pas pu être mise en ligne.</translation>
    </message>
    <message>
        <source>The file to share does not exist: %1</source>
        <translation>Le fichier à partager n’existe pas&#xa0;: %1</translation>
    </message>
    <message>
        <source>No file manager could be opened. The video is in %1</source>
        <translation>Aucun gestionnaire de fichiers n’a pu être ouvert. La vidéo se trouve dans %1</translation>
    </message>
    <message>
        <source>No web browser could be opened. The link is copied; paste it into a browser.</source>
        <translation>Aucun navigateur web n’a pu être ouvert. Le lien a été copié ; collez-le dans un navigateur.</translation>
    </message>
    <message>
        <source>No web browser could be opened. Open the link above in a browser.</source>
        <translation>Aucun navigateur web n’a pu être ouvert. Ouvrez le lien ci-dessus dans un navigateur.</translation>
    </message>
    <message>
        <source>Sharing</source>
        <translation>Partage</translation>
    </message>
    <message>
        <source>The file to share does not exist.</source>
        <translation>Le fichier à partager n’existe pas.</translation>
    </message>
</context>
<context>
    <name>UnattendedRun</name>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 seconde</translation>
    </message>
    <message numerus="yes">
        <source>%n seconds</source>
        <translation>
            <numerusform>%n seconde</numerusform>
            <numerusform>%n secondes</numerusform>
        </translation>
    </message>
    <message>
        <source>the sharing dialog&apos;s Start is disabled: %1</source>
        <translation>le bouton Démarrer de la boîte de dialogue de partage est désactivé&#xa0;: %1</translation>
    </message>
    <message>
        <source>no reason shown</source>
        <translation>aucune raison affichée</translation>
    </message>
    <message>
        <source>the sharing dialog offers no resolution to convert to (no presets found)</source>
        <translation>la boîte de dialogue de partage ne propose aucune résolution de conversion (aucun préréglage trouvé)</translation>
    </message>
    <message>
        <source>Sharing &quot;%1&quot; at %2...</source>
        <translation>Partage de «&#xa0;%1&#xa0;» avec %2...</translation>
    </message>
    <message>
        <source>the default preset</source>
        <translation>le préréglage par défaut</translation>
    </message>
    <message>
        <source>the sharing did not start</source>
        <translation>le partage n’a pas démarré</translation>
    </message>
    <message>
        <source>the sharing did not start: %1</source>
        <translation>le partage n’a pas démarré&#xa0;: %1</translation>
    </message>
    <message>
        <source>the sign-in prompt offers no way to sign in: %1</source>
        <translation>l’invite de connexion ne permet pas de se connecter&#xa0;: %1</translation>
    </message>
    <message>
        <source>Signing in...</source>
        <translation>Connexion...</translation>
    </message>
    <message>
        <source>Working</source>
        <translation>Traitement</translation>
    </message>
    <message>
        <source>%1: %2%</source>
        <comment>a step&apos;s progress, in percent</comment>
        <translation>%1&#xa0;: %2&#xa0;%</translation>
    </message>
    <message>
        <source>Notice: %1: %2</source>
        <translation>Avis&#xa0;: %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the sharing did not finish within %1; giving up</source>
        <translation>le partage ne s’est pas terminé en %1&#xa0;; abandon</translation>
    </message>
</context>
<context>
    <name>VideoConverter</name>
    <message>
        <source>Conversion failed</source>
        <translation>Échec de la conversion</translation>
    </message>
    <message>
        <source>ffmpeg stopped with exit code %1</source>
        <translation>ffmpeg s’est arrêté avec le code de sortie %1</translation>
    </message>
    <message>
        <source>Cannot convert %1: %2</source>
        <translation>Impossible de convertir %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>no output</source>
        <translation>aucune sortie</translation>
    </message>
    <message>
        <source>Cannot save the converted video as %1</source>
        <translation>Impossible d’enregistrer la vidéo convertie sous %1</translation>
    </message>
    <message>
        <source>Another conversion is still running</source>
        <translation>Une autre conversion est encore en cours</translation>
    </message>
    <message>
        <source>Cannot convert %1: no export preset was chosen</source>
        <translation>Impossible de convertir %1&#xa0;: aucun préréglage d’exportation n’a été choisi</translation>
    </message>
    <message>
        <source>Cannot convert %1: no output file was named</source>
        <translation>Impossible de convertir %1&#xa0;: aucun fichier de sortie n’a été indiqué</translation>
    </message>
    <message>
        <source>Cannot convert %1: it has no video</source>
        <translation>Impossible de convertir %1&#xa0;: le fichier ne contient pas de vidéo</translation>
    </message>
    <message>
        <source>No free file name is left beside %1</source>
        <translation>Il ne reste plus aucun nom de fichier libre à côté de %1</translation>
    </message>
    <message>
        <source>Cannot start %1: %2</source>
        <translation>Impossible de lancer %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Converting the video</source>
        <translation>Conversion de la vidéo</translation>
    </message>
    <message>
        <source>Preparing the video</source>
        <translation>Préparation de la vidéo</translation>
    </message>
</context>
<context>
    <name>YouTubeSharing</name>
    <message>
        <source>Uploading to YouTube</source>
        <translation>Mise en ligne sur YouTube</translation>
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
        <translation>Enregistrer dans</translation>
    </message>
    <message>
        <source>Access to this YouTube account is restricted. Please, choose another account.</source>
        <translation>L’accès à ce compte YouTube est restreint. Veuillez choisir un autre compte.</translation>
    </message>
    <message>
        <source>Too short title name.</source>
        <translation>Le titre est trop court.</translation>
    </message>
    <message>
        <source>Incorrect symbols in filename</source>
        <translation>Caractères non valides dans le nom de fichier</translation>
    </message>
    <message numerus="yes">
        <source>Sign In...</source>
        <translation>
            <numerusform>Se connecter...</numerusform>
            <numerusform>Se connecter...</numerusform>
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
            <numerusform>Titre&#xa0;:</numerusform>
            <numerusform>Titre&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Resolution:</source>
        <translation>
            <numerusform>Résolution&#xa0;:</numerusform>
            <numerusform>Résolution&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Description:</source>
        <translation>
            <numerusform>Description&#xa0;:</numerusform>
            <numerusform>Description&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Category:</source>
        <translation>
            <numerusform>Catégorie&#xa0;:</numerusform>
            <numerusform>Catégorie&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Tags:</source>
        <translation>
            <numerusform>Mots-clés&#xa0;:</numerusform>
            <numerusform>Mots-clés&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Privacy:</source>
        <translation>
            <numerusform>Visibilité&#xa0;:</numerusform>
            <numerusform>Visibilité&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Save to:</source>
        <translation>
            <numerusform>Enregistrer dans&#xa0;:</numerusform>
            <numerusform>Enregistrer dans&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Browse</source>
        <translation>
            <numerusform>Parcourir</numerusform>
            <numerusform>Parcourir</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Export Settings:</source>
        <translation>
            <numerusform>Paramètres d’exportation&#xa0;:</numerusform>
            <numerusform>Paramètres d’exportation&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Estimated File Size:</source>
        <translation>
            <numerusform>Taille estimée du fichier&#xa0;:</numerusform>
            <numerusform>Taille estimée du fichier&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Duration:</source>
        <translation>
            <numerusform>Durée&#xa0;:</numerusform>
            <numerusform>Durée&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancel</source>
        <translation>
            <numerusform>Annuler</numerusform>
            <numerusform>Annuler</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Start</source>
        <translation>
            <numerusform>Démarrer</numerusform>
            <numerusform>Démarrer</numerusform>
        </translation>
    </message>
    <message>
        <source>Created with %1
%2</source>
        <translation>Créé avec %1
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
        <translation>Films et animations</translation>
    </message>
    <message>
        <source>Autos &amp; Vehicles</source>
        <translation>Auto et véhicules</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musique</translation>
    </message>
    <message>
        <source>Pets &amp; Animals</source>
        <translation>Animaux</translation>
    </message>
    <message>
        <source>Sports</source>
        <translation>Sports</translation>
    </message>
    <message>
        <source>Travel &amp; Events</source>
        <translation>Voyages et événements</translation>
    </message>
    <message>
        <source>Gaming</source>
        <translation>Jeux vidéo</translation>
    </message>
    <message>
        <source>People &amp; Blogs</source>
        <translation>People et blogs</translation>
    </message>
    <message>
        <source>Comedy</source>
        <translation>Humour</translation>
    </message>
    <message>
        <source>Entertainment</source>
        <translation>Divertissement</translation>
    </message>
    <message>
        <source>News &amp; Politics</source>
        <translation>Actualités et politique</translation>
    </message>
    <message>
        <source>Howto &amp; Style</source>
        <translation>Vie pratique et style</translation>
    </message>
    <message>
        <source>Education</source>
        <translation>Éducation</translation>
    </message>
    <message>
        <source>Science &amp; Technology</source>
        <translation>Science et technologie</translation>
    </message>
    <message>
        <source>Nonprofits &amp; Activism</source>
        <translation>Organisations à but non lucratif</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titre</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Mots-clés</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Visibilité</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>Publique</translation>
    </message>
    <message>
        <source>Everyone can find and watch the video</source>
        <translation>Tout le monde peut trouver et regarder la vidéo</translation>
    </message>
    <message>
        <source>Unlisted</source>
        <translation>Non répertoriée</translation>
    </message>
    <message>
        <source>Anyone with the link can watch the video</source>
        <translation>Toute personne disposant du lien peut regarder la vidéo</translation>
    </message>
    <message>
        <source>Private</source>
        <translation>Privée</translation>
    </message>
    <message>
        <source>Only you can watch the video</source>
        <translation>Vous seul pouvez regarder la vidéo</translation>
    </message>
</context>
</TS>
