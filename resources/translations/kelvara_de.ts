<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AccessRights</name>
    <message>
        <source>No such time model</source>
        <translation>Zeitmodell nicht vorhanden</translation>
    </message>
    <message>
        <source>Invalid identifier length</source>
        <translation>Ungültige Länge der Transponderkennung</translation>
    </message>
</context>
<context>
    <name>ConnectionText</name>
    <message>
        <source>USB flash drive</source>
        <translation>USB-Stick</translation>
    </message>
    <message>
        <source>USB cable</source>
        <translation>USB-Kabel</translation>
    </message>
</context>
<context>
    <name>DemoProject</name>
    <message>
        <source>Development</source>
        <translation>Entwicklung</translation>
    </message>
    <message>
        <source>Main Entrance</source>
        <translation>Haupteingang</translation>
    </message>
    <message>
        <source>Department A</source>
        <translation>Abteilung A</translation>
    </message>
    <message>
        <source>Department B</source>
        <translation>Abteilung B</translation>
    </message>
    <message>
        <source>Department C</source>
        <translation>Abteilung C</translation>
    </message>
    <message>
        <source>Department D</source>
        <translation>Abteilung D</translation>
    </message>
    <message>
        <source>Entry A.1</source>
        <translation>Eingang A.1</translation>
    </message>
    <message>
        <source>Entry A.2</source>
        <translation>Eingang A.2</translation>
    </message>
    <message>
        <source>Entry A.3</source>
        <translation>Eingang A.3</translation>
    </message>
    <message>
        <source>Entry B.1</source>
        <translation>Eingang B.1</translation>
    </message>
    <message>
        <source>Entry B.2</source>
        <translation>Eingang B.2</translation>
    </message>
    <message>
        <source>Entry C.1</source>
        <translation>Eingang C.1</translation>
    </message>
    <message>
        <source>Entry C.2</source>
        <translation>Eingang C.2</translation>
    </message>
    <message>
        <source>Entry D.1</source>
        <translation>Eingang D.1</translation>
    </message>
    <message>
        <source>Entry D.2</source>
        <translation>Eingang D.2</translation>
    </message>
    <message>
        <source>Entry D.3</source>
        <translation>Eingang D.3</translation>
    </message>
    <message>
        <source>Production</source>
        <translation>Produktion</translation>
    </message>
    <message>
        <source>Level 1</source>
        <translation>Ebene 1</translation>
    </message>
    <message>
        <source>Level 2</source>
        <translation>Ebene 2</translation>
    </message>
    <message>
        <source>Room 01</source>
        <translation>Raum 01</translation>
    </message>
    <message>
        <source>Room 02</source>
        <translation>Raum 02</translation>
    </message>
    <message>
        <source>Room 03</source>
        <translation>Raum 03</translation>
    </message>
    <message>
        <source>Room 04</source>
        <translation>Raum 04</translation>
    </message>
    <message>
        <source>Room 11</source>
        <translation>Raum 11</translation>
    </message>
    <message>
        <source>Room 12</source>
        <translation>Raum 12</translation>
    </message>
    <message>
        <source>Parking Area West</source>
        <translation>Parkplatz West</translation>
    </message>
    <message>
        <source>Birchfield Lane</source>
        <translation>Birkenfeldweg</translation>
    </message>
    <message>
        <source>Kilnmoor Street</source>
        <translation>Ofenmoorstraße</translation>
    </message>
    <message>
        <source>Parking Area North</source>
        <translation>Parkplatz Nord</translation>
    </message>
    <message>
        <source>Quarrygate Road</source>
        <translation>Steinbruchtorstraße</translation>
    </message>
    <message>
        <source>Management</source>
        <translation>Geschäftsleitung</translation>
    </message>
    <message>
        <source>Sales Manager</source>
        <translation>Vertriebsleiter</translation>
    </message>
    <message>
        <source>Development Manager</source>
        <translation>Entwicklungsleiter</translation>
    </message>
    <message>
        <source>Facility Manager</source>
        <translation>Hausverwaltung</translation>
    </message>
    <message>
        <source>Crazy Model</source>
        <translation>Verrücktes Modell</translation>
    </message>
    <message>
        <source>A demo time model is missing</source>
        <translation>Ein Zeitmodell des Demoprojekts fehlt</translation>
    </message>
</context>
<context>
    <name>ErrorText</name>
    <message>
        <source>Function successfully performed</source>
        <translation>Funktion erfolgreich ausgeführt</translation>
    </message>
    <message>
        <source>Error context: Library
Error code: %1</source>
        <translation>Fehlerkontext: Bibliothek
Fehlercode: %1</translation>
    </message>
    <message>
        <source>Error context: Reader
Error code: %1</source>
        <translation>Fehlerkontext: Leser
Fehlercode: %1</translation>
    </message>
    <message>
        <source>Error context: Application
Error code: %1</source>
        <translation>Fehlerkontext: Anwendung
Fehlercode: %1</translation>
    </message>
    <message>
        <source>Database function successfully performed</source>
        <translation>Datenbankfunktion erfolgreich ausgeführt</translation>
    </message>
    <message>
        <source>Data set entry already exists
(Identical name combination, device ID, IP-address, MAC-address, etc.)</source>
        <translation>Datensatz existiert bereits
(Gleiche Namenskombination, Geräte-ID, IP-Adresse, MAC-Adresse usw.)</translation>
    </message>
    <message>
        <source>Error context: Database
Error code: %2</source>
        <translation>Fehlerkontext: Datenbank
Fehlercode: %2</translation>
    </message>
</context>
<context>
    <name>FlashDrive</name>
    <message>
        <source>All reader are accessible.
We don&apos;t need an USB-stick for configuration.</source>
        <translation>Alle Leser sind erreichbar.
Für die Konfiguration wird kein USB-Stick benötigt.</translation>
    </message>
    <message>
        <source>Write file error</source>
        <translation>Fehler beim Schreiben der Datei</translation>
    </message>
    <message>
        <source>Cannot remove file &apos;JOB&apos; from USB-stick</source>
        <translation>Die Datei &apos;JOB&apos; kann nicht vom USB-Stick gelöscht werden</translation>
    </message>
    <message>
        <source>Create path error</source>
        <translation>Fehler beim Anlegen des Ordners</translation>
    </message>
    <message>
        <source>&apos;%1&apos; on the USB-stick is a link or a special file; it is neither followed nor written. Remove it and try again.</source>
        <translation>&apos;%1&apos; auf dem USB-Stick ist ein Verweis oder eine Spezialdatei; sie wird weder verfolgt noch beschrieben. Bitte entfernen und erneut versuchen.</translation>
    </message>
</context>
<context>
    <name>GuiMessages</name>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Library Error</source>
        <translation>Bibliotheksfehler</translation>
    </message>
    <message>
        <source>Reader Error</source>
        <translation>Leserfehler</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Anwendungsfehler</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>The file

%1

does not exist</source>
        <translation>Die Datei

%1

existiert nicht</translation>
    </message>
    <message>
        <source>Open path</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>The path

%1

does not exist</source>
        <translation>Der Ordner

%1

existiert nicht</translation>
    </message>
</context>
<context>
    <name>KelvaraCli</name>
    <message>
        <source>Usage:
  kelvara-cli create-project DIR
      Creates a new project in DIR, which must not exist yet.
  kelvara-cli create-demo DIR
      Creates the demo project in DIR; a database already there is replaced.
  kelvara-cli entries [--project DIR]
      One line per entry, tab-separated, after a header line: area, entry,
      connection, reader type, device ID, needs update (x or empty).
  kelvara-cli run FUNCTION [--project DIR]
          [--all | --area NAME | --entry NAME... | --short-range | --long-range]
          [--only-pending] [--drive DIR] [--prepare-drive]
      Runs a reader function over the chosen entries (default --all) and prints
      the log lines, then one line per entry: name, a tab and OK, NO CONNECTION
      or FAILED. FUNCTION is one of update, read-access, import-transponders,
      read-events, set-clock, write-config. --only-pending keeps the entries
      that need an update (with --all, --area and --entry). --drive names the
      root folder of the USB flash drive; --prepare-drive empties it for a new
      configuration first. An interrupt (Ctrl+C) or termination signal lets
      the entry in progress finish; entries not started show NOT RUN.
  kelvara-cli export-users [--project DIR] FILE
      Writes all users into a semicolon-separated list.
  kelvara-cli import-users [--project DIR] FILE
      Reads users from a list whose header names the standard columns.
  kelvara-cli --help
      Shows this text.
Without --project the current project of the application settings is used.
Exit status: 0 success; 1 a failed entry or operation; 2 a usage error, a
folder that is not a project, or no entries.
</source>
        <translation>Aufruf:
  kelvara-cli create-project DIR
      Legt in DIR ein neues Projekt an; DIR darf noch nicht existieren.
  kelvara-cli create-demo DIR
      Legt in DIR das Demoprojekt an; eine vorhandene Datenbank wird ersetzt.
  kelvara-cli entries [--project DIR]
      Eine Zeile je Zutritt, durch Tabulatoren getrennt, nach einer Kopfzeile:
      Bereich, Zutritt, Verbindung, Lesertyp, Geräte-ID, Aktualisierung nötig (x oder leer).
  kelvara-cli run FUNCTION [--project DIR]
          [--all | --area NAME | --entry NAME... | --short-range | --long-range]
          [--only-pending] [--drive DIR] [--prepare-drive]
      Führt eine Leserfunktion für die gewählten Zutritte aus (Vorgabe --all), gibt
      die Protokollzeilen aus und danach je Zutritt eine Zeile: Name, Tabulator und
      OK, NO CONNECTION oder FAILED. FUNCTION ist update, read-access,
      import-transponders, read-events, set-clock oder write-config. --only-pending
      behält die Zutritte, die eine Aktualisierung brauchen (mit --all, --area und
      --entry). --drive nennt den Stammordner des USB-Sticks; --prepare-drive leert
      ihn zuvor für eine neue Konfiguration. Ein Abbruch (Strg+C) oder ein
      Beendigungssignal lässt den laufenden Zutritt zu Ende laufen; nicht begonnene
      Zutritte zeigen NOT RUN.
  kelvara-cli export-users [--project DIR] DATEI
      Schreibt alle Benutzer in eine durch Semikolons getrennte Liste.
  kelvara-cli import-users [--project DIR] DATEI
      Liest Benutzer aus einer Liste, deren Kopfzeile die Standardspalten nennt.
  kelvara-cli --help
      Zeigt diesen Text.
Ohne --project wird das aktuelle Projekt der Anwendungseinstellungen verwendet.
Rückgabewert: 0 Erfolg; 1 ein fehlgeschlagener Zutritt oder Vorgang; 2 ein
Aufruffehler, ein Ordner, der kein Projekt ist, oder keine Zutritte.
</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>Kein Befehl angegeben.</translation>
    </message>
    <message>
        <source>Unknown command &apos;%1&apos;.</source>
        <translation>Unbekannter Befehl &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--project needs one folder.</source>
        <translation>--project braucht einen Ordner.</translation>
    </message>
    <message>
        <source>No project given and no current project in the settings.</source>
        <translation>Kein Projekt angegeben und kein aktuelles Projekt in den Einstellungen.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a project folder.</source>
        <translation>&apos;%1&apos; ist kein Projektordner.</translation>
    </message>
    <message>
        <source>The project database cannot be opened.</source>
        <translation>Die Projektdatenbank kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>create-project needs exactly one folder.</source>
        <translation>create-project braucht genau einen Ordner.</translation>
    </message>
    <message>
        <source>The path

%1

already exists.</source>
        <translation>Der Ordner

%1

existiert bereits.</translation>
    </message>
    <message>
        <source>Cannot create project path

%1</source>
        <translation>Der Projektordner kann nicht angelegt werden

%1</translation>
    </message>
    <message>
        <source>New project successfully created in path

%1</source>
        <translation>Neues Projekt erfolgreich angelegt im Ordner

%1</translation>
    </message>
    <message>
        <source>create-demo needs exactly one folder.</source>
        <translation>create-demo braucht genau einen Ordner.</translation>
    </message>
    <message>
        <source>Cannot remove old demo database</source>
        <translation>Die alte Demodatenbank kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>Demo project created in %1</source>
        <translation>Demoprojekt angelegt in %1</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unerwartetes Argument &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>run needs a function.</source>
        <translation>run braucht eine Funktion.</translation>
    </message>
    <message>
        <source>Unknown function &apos;%1&apos;.</source>
        <translation>Unbekannte Funktion &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--area needs one name.</source>
        <translation>--area braucht einen Namen.</translation>
    </message>
    <message>
        <source>--drive needs one folder.</source>
        <translation>--drive braucht einen Ordner.</translation>
    </message>
    <message>
        <source>--entry needs at least one name.</source>
        <translation>--entry braucht mindestens einen Namen.</translation>
    </message>
    <message>
        <source>Choose one scope: --all, --area, --entry, --short-range or --long-range.</source>
        <translation>Wählen Sie einen Umfang: --all, --area, --entry, --short-range oder --long-range.</translation>
    </message>
    <message>
        <source>--only-pending goes with --all, --area or --entry.</source>
        <translation>--only-pending gehört zu --all, --area oder --entry.</translation>
    </message>
    <message>
        <source>There is no entry named &apos;%1&apos;.</source>
        <translation>Es gibt keinen Zutritt namens &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>There are no reader with changed access rights</source>
        <translation>Es gibt keine Leser mit geänderten Zutrittsrechten</translation>
    </message>
    <message>
        <source>There are no reader at all</source>
        <translation>Es gibt überhaupt keine Leser</translation>
    </message>
    <message>
        <source>The drive folder &apos;%1&apos; does not exist.</source>
        <translation>Der Ordner des USB-Sticks &apos;%1&apos; existiert nicht.</translation>
    </message>
    <message numerus="yes">
        <source>%n entries use the USB flash drive: name its folder with --drive.</source>
        <translation>
            <numerusform>%n Zutritt nutzt den USB-Stick: nennen Sie seinen Ordner mit --drive.</numerusform>
            <numerusform>%n Zutritte nutzen den USB-Stick: nennen Sie seinen Ordner mit --drive.</numerusform>
        </translation>
    </message>
    <message>
        <source>export-users needs exactly one file.</source>
        <translation>export-users braucht genau eine Datei.</translation>
    </message>
    <message>
        <source>Cannot write the file &apos;%1&apos;.</source>
        <translation>Die Datei &apos;%1&apos; kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>%1 user entries exported to file</source>
        <translation>%1 Benutzereinträge in die Datei exportiert</translation>
    </message>
    <message>
        <source>import-users needs exactly one file.</source>
        <translation>import-users braucht genau eine Datei.</translation>
    </message>
    <message>
        <source>Cannot open import file</source>
        <translation>Importdatei kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>%1 user entries imported from file</source>
        <translation>%1 Benutzereinträge aus der Datei importiert</translation>
    </message>
    <message>
        <source>Nothing imported
Please check the column assignments.</source>
        <translation>Nichts importiert
Bitte prüfen Sie die Spaltenzuordnungen.</translation>
    </message>
    <message numerus="yes">
        <source>%n lines skipped: wrong field count, nothing to identify the user, or refused by the database.</source>
        <translation>
            <numerusform>%n Zeile übersprungen: falsche Feldanzahl, nichts, was den Benutzer kennzeichnet, oder von der Datenbank abgelehnt.</numerusform>
            <numerusform>%n Zeilen übersprungen: falsche Feldanzahl, nichts, was den Benutzer kennzeichnet, oder von der Datenbank abgelehnt.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>KelvaraMan</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New Project</source>
        <translation>&amp;Neues Projekt</translation>
    </message>
    <message>
        <source>&amp;Open Project</source>
        <translation>Projekt ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Rename Project</source>
        <translation>Projekt &amp;umbenennen</translation>
    </message>
    <message>
        <source>&amp;Create Project Backup</source>
        <translation>Projektsicherung &amp;erstellen</translation>
    </message>
    <message>
        <source>&amp;Restore Project Backup</source>
        <translation>Projektsicherung &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>I&amp;mport User List</source>
        <translation>Benutzerliste i&amp;mportieren</translation>
    </message>
    <message>
        <source>E&amp;xport User List</source>
        <translation>Benutzerliste e&amp;xportieren</translation>
    </message>
    <message>
        <source>&amp;End</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;General Settings</source>
        <translation>&amp;Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Project Settings</source>
        <translation>&amp;Projekteinstellungen</translation>
    </message>
    <message>
        <source>Synchronize Reader &amp;Clock</source>
        <translation>Leser-&amp;Uhren stellen</translation>
    </message>
    <message>
        <source>&amp;Update Access Rights of all Entries</source>
        <translation>&amp;Zutrittsrechte aller Zutritte aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Reconfigure Short Range Reader</source>
        <translation>Nahbereichsleser &amp;neu konfigurieren</translation>
    </message>
    <message>
        <source>&amp;Reconfigure Long Range Reader</source>
        <translation>Fernbereichsleser neu &amp;konfigurieren</translation>
    </message>
    <message>
        <source>&amp;Reconfigure All Reader</source>
        <translation>Alle Leser neu konf&amp;igurieren</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Tooltips</source>
        <translation>&amp;Tooltips</translation>
    </message>
    <message>
        <source>&amp;Help for Help</source>
        <translation>Hilfe zur &amp;Hilfe</translation>
    </message>
    <message>
        <source>How to &amp;Use Kelvara-Manager</source>
        <translation>&amp;Bedienung des Kelvara-Managers</translation>
    </message>
    <message>
        <source>&amp;Quick Start Guide</source>
        <translation>&amp;Schnellstartanleitung</translation>
    </message>
    <message>
        <source>Build &amp;Support Package</source>
        <translation>Support-&amp;Paket erstellen</translation>
    </message>
    <message>
        <source>&amp;Firmware Versions</source>
        <translation>&amp;Firmware-Versionen</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>Views</source>
        <translation>Ansichten</translation>
    </message>
    <message>
        <source>Access Board</source>
        <translation>Zutrittstafel</translation>
    </message>
    <message>
        <source>User Administration</source>
        <translation>Benutzerverwaltung</translation>
    </message>
    <message>
        <source>Entry Administration</source>
        <translation>Zutrittsverwaltung</translation>
    </message>
    <message>
        <source>Time Model Administration</source>
        <translation>Zeitmodellverwaltung</translation>
    </message>
    <message>
        <source>Update Access Rights
(Changed rights are marked with red background colour)</source>
        <translation>Zutrittsrechte aktualisieren
(Geänderte Rechte sind rot hinterlegt)</translation>
    </message>
    <message>
        <source>Collapse all User Groups and Areas</source>
        <translation>Alle Benutzergruppen und Bereiche zuklappen</translation>
    </message>
    <message>
        <source>Expand all User Groups and Areas</source>
        <translation>Alle Benutzergruppen und Bereiche aufklappen</translation>
    </message>
    <message>
        <source>Update Access Rights of all Entries</source>
        <translation>Zutrittsrechte aller Zutritte aktualisieren</translation>
    </message>
    <message>
        <source>Read Event List of all Entries</source>
        <translation>Ereignislisten aller Zutritte lesen</translation>
    </message>
    <message>
        <source>Open Data Path</source>
        <translation>Datenordner öffnen</translation>
    </message>
    <message>
        <source>Open Log Path</source>
        <translation>Protokollordner öffnen</translation>
    </message>
    <message>
        <source>Help for Access Board</source>
        <translation>Hilfe zur Zutrittstafel</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Update Access Rights</source>
        <translation>Zutrittsrechte aktualisieren</translation>
    </message>
    <message>
        <source>Read Access Rights</source>
        <translation>Zutrittsrechte lesen</translation>
    </message>
    <message>
        <source>Import Transponder</source>
        <translation>Transponder importieren</translation>
    </message>
    <message>
        <source>Read Event List</source>
        <translation>Ereignisliste lesen</translation>
    </message>
    <message>
        <source>Kelvara Manager (V%1) by KORVEX ::: Project Path = </source>
        <translation>Kelvara Manager (V%1) von KORVEX ::: Projektordner = </translation>
    </message>
    <message>
        <source>undefined</source>
        <translation>nicht festgelegt</translation>
    </message>
    <message>
        <source> (invalid)</source>
        <translation> (ungültig)</translation>
    </message>
    <message>
        <source>No
project
loaded</source>
        <translation>Kein
Projekt
geladen</translation>
    </message>
    <message>
        <source>DB open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>DB model tag table</source>
        <translation>DB Zeitmodelltabelle</translation>
    </message>
    <message>
        <source>Access
Board</source>
        <translation>Zutritts-
tafel</translation>
    </message>
    <message>
        <source>   Use the entry administration to add entries to this project.</source>
        <translation>   Fügen Sie diesem Projekt in der Zutrittsverwaltung Zutritte hinzu.</translation>
    </message>
    <message>
        <source>   Use the user administration to add users to this project.</source>
        <translation>   Fügen Sie diesem Projekt in der Benutzerverwaltung Benutzer hinzu.</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>Zutritt</translation>
    </message>
    <message>
        <source>User Group</source>
        <translation>Benutzergruppe</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Remove Time Model</source>
        <translation>Zeitmodell entfernen</translation>
    </message>
    <message>
        <source>DB times list</source>
        <translation>DB Zeitmodellliste</translation>
    </message>
    <message>
        <source>Set Time Model %1 (%2)</source>
        <translation>Zeitmodell %1 setzen (%2)</translation>
    </message>
    <message>
        <source>DB change time model</source>
        <translation>DB Zeitmodell ändern</translation>
    </message>
    <message>
        <source>Rename Area</source>
        <translation>Bereich umbenennen</translation>
    </message>
    <message>
        <source>Enter a new area name</source>
        <translation>Neuen Bereichsnamen eingeben</translation>
    </message>
    <message>
        <source>Rename User Group</source>
        <translation>Benutzergruppe umbenennen</translation>
    </message>
    <message>
        <source>Enter a new user group name</source>
        <translation>Neuen Namen der Benutzergruppe eingeben</translation>
    </message>
    <message>
        <source>ACCESS-READER functions:
A right click on a column head (an area or an entry) opens the reader functions: update, read back and import the access rights, read the event list.

TIME MODELS:
A right click on a cell sets or removes the time model that lets the user pass the entry. On a yellow group cell it applies to every member of the user group and the area.

COLLAPSE AND EXPAND:
A double click on a yellow group cell collapses or expands the group or area; a double click on the corner collapses or expands all of them.

SCROLLING:
Drag the table with the left mouse button, or use the sliders and the wheel.</source>
        <translation>ZUTRITTSLESER-Funktionen:
Ein Rechtsklick auf einen Spaltenkopf (Bereich oder Zutritt) öffnet die Leserfunktionen: Zutrittsrechte aktualisieren, zurücklesen und importieren, Ereignisliste lesen.

ZEITMODELLE:
Ein Rechtsklick auf eine Zelle setzt oder entfernt das Zeitmodell, mit dem der Benutzer den Zutritt passieren darf. Auf einer gelben Gruppenzelle gilt es für alle Mitglieder der Benutzergruppe und des Bereichs.

ZUKLAPPEN UND AUFKLAPPEN:
Ein Doppelklick auf eine gelbe Gruppenzelle klappt die Gruppe oder den Bereich zu oder auf; ein Doppelklick auf die Ecke klappt alle zu oder auf.

BLÄTTERN:
Ziehen Sie die Tabelle mit der linken Maustaste, oder benutzen Sie die Schieberegler und das Mausrad.</translation>
    </message>
    <message>
        <source>HELP:
&apos;Help&apos; -&gt; &apos;Tooltips&apos; switches the short tips that appear when the mouse rests on a button.

The &apos;?&apos; in the menu bar (or the F1 key) starts the help mode: click any part of a window to read what it does.</source>
        <translation>HILFE:
&apos;Hilfe&apos; -&gt; &apos;Tooltips&apos; schaltet die kurzen Hinweise ein oder aus, die erscheinen, wenn die Maus auf einer Schaltfläche ruht.

Das &apos;?&apos; in der Menüleiste (oder die Taste F1) startet den Hilfemodus: Klicken Sie auf einen Teil eines Fensters, um zu lesen, was er tut.</translation>
    </message>
    <message>
        <source>HOW TO USE KELVARA-MANAGER:
1. Create a new project (&apos;File&apos; -&gt; &apos;New Project&apos;).
2. Add the users with their transponders and the entries with their readers.
3. Define time models of up to 8 weekly periods.
4. Set the rights on the access board: right click a cell and choose a time model.
5. Send the rights to the readers with &apos;Update Access Rights&apos;.
6. &apos;Read Event List&apos; brings the readers&apos; events into the project&apos;s data folder.</source>
        <translation>BEDIENUNG DES KELVARA-MANAGERS:
1. Legen Sie ein neues Projekt an (&apos;Datei&apos; -&gt; &apos;Neues Projekt&apos;).
2. Erfassen Sie die Benutzer mit ihren Transpondern und die Zutritte mit ihren Lesern.
3. Definieren Sie Zeitmodelle mit bis zu 8 Wochenzeiträumen.
4. Setzen Sie die Rechte in der Zutrittstafel: Rechtsklick auf eine Zelle und ein Zeitmodell wählen.
5. Übertragen Sie die Rechte mit &apos;Zutrittsrechte aktualisieren&apos; an die Leser.
6. &apos;Ereignisliste lesen&apos; holt die Ereignisse der Leser in den Datenordner des Projekts.</translation>
    </message>
    <message>
        <source>Required Minimum Firmware Versions</source>
        <translation>Erforderliche Mindestversionen der Firmware</translation>
    </message>
    <message>
        <source>System Languages</source>
        <translation>Systemsprachen</translation>
    </message>
    <message>
        <source>No valid project opened</source>
        <translation>Kein gültiges Projekt geöffnet</translation>
    </message>
    <message>
        <source>Failed with return code %1</source>
        <translation>Fehlgeschlagen mit Rückgabewert %1</translation>
    </message>
    <message>
        <source>

The archive program could not be started. Please install zip and unzip.</source>
        <translation>

Das Archivprogramm konnte nicht gestartet werden. Bitte installieren Sie zip und unzip.</translation>
    </message>
    <message>
        <source>

The archive could not be stored under the chosen name.</source>
        <translation>

Das Archiv konnte nicht unter dem gewählten Namen gespeichert werden.</translation>
    </message>
    <message>
        <source>Create new project</source>
        <translation>Neues Projekt anlegen</translation>
    </message>
    <message>
        <source>Please enter a new project name</source>
        <translation>Bitte geben Sie einen neuen Projektnamen ein</translation>
    </message>
    <message>
        <source>Select path for project &apos;%1&apos;</source>
        <translation>Ordner für das Projekt &apos;%1&apos; wählen</translation>
    </message>
    <message>
        <source>The path

%1

already exists.</source>
        <translation>Der Ordner

%1

existiert bereits.</translation>
    </message>
    <message>
        <source>Cannot create project path

%1</source>
        <translation>Der Projektordner kann nicht angelegt werden

%1</translation>
    </message>
    <message>
        <source>New project successfully created in path

%1</source>
        <translation>Neues Projekt erfolgreich angelegt im Ordner

%1</translation>
    </message>
    <message>
        <source>Open project path</source>
        <translation>Projektordner öffnen</translation>
    </message>
    <message>
        <source>This is no valid project path.
Choose another one.</source>
        <translation>Dies ist kein gültiger Projektordner.
Bitte wählen Sie einen anderen.</translation>
    </message>
    <message>
        <source>Rename project</source>
        <translation>Projekt umbenennen</translation>
    </message>
    <message>
        <source>The name

%1

cannot be used as a project folder name.</source>
        <translation>Der Name

%1

kann nicht als Name eines Projektordners verwendet werden.</translation>
    </message>
    <message>
        <source>Cannot rename the project path</source>
        <translation>Der Projektordner kann nicht umbenannt werden</translation>
    </message>
    <message>
        <source>Unexpected error</source>
        <translation>Unerwarteter Fehler</translation>
    </message>
    <message>
        <source>Cannot rename database file</source>
        <translation>Die Datenbankdatei kann nicht umbenannt werden</translation>
    </message>
    <message>
        <source>Create Backup File</source>
        <translation>Sicherungsdatei erstellen</translation>
    </message>
    <message>
        <source>Restore Backup File</source>
        <translation>Sicherungsdatei wiederherstellen</translation>
    </message>
    <message>
        <source>Choose a ZIP-File to restore</source>
        <translation>ZIP-Datei zum Wiederherstellen wählen</translation>
    </message>
    <message>
        <source>The file

%1

is no readable ZIP archive (return code %2).
Nothing was restored.</source>
        <translation>Die Datei

%1

ist kein lesbares ZIP-Archiv (Rückgabewert %2).
Es wurde nichts wiederhergestellt.</translation>
    </message>
    <message>
        <source>The archive

%1

holds the entry

%2

which would be written outside the chosen folder.
Nothing was restored.</source>
        <translation>Das Archiv

%1

enthält den Eintrag

%2

der außerhalb des gewählten Ordners geschrieben würde.
Es wurde nichts wiederhergestellt.</translation>
    </message>
    <message>
        <source>Corrupt backup file</source>
        <translation>Beschädigte Sicherungsdatei</translation>
    </message>
    <message>
        <source>Select an empty project directory to restore &apos;%1&apos;</source>
        <translation>Leeren Projektordner zum Wiederherstellen von &apos;%1&apos; wählen</translation>
    </message>
    <message>
        <source>This path already contents a valid project.
Choose another one.</source>
        <translation>Dieser Ordner enthält bereits ein gültiges Projekt.
Bitte wählen Sie einen anderen.</translation>
    </message>
    <message>
        <source>This path already holds a database file.
Choose another one.</source>
        <translation>Dieser Ordner enthält bereits eine Datenbankdatei.
Bitte wählen Sie einen anderen.</translation>
    </message>
    <message>
        <source>Build Support Package</source>
        <translation>Support-Paket erstellen</translation>
    </message>
    <message>
        <source>First application start</source>
        <translation>Erster Programmstart</translation>
    </message>
    <message>
        <source>This is the first start of Kelvara-Manager on this computer.

Do you want to configure some general settings now?

(In case of &apos;No&apos; you can do that later under
&apos;Option&apos; -&gt; &apos;General settings&apos;).</source>
        <translation>Dies ist der erste Start des Kelvara-Managers auf diesem Computer.

Möchten Sie jetzt einige allgemeine Einstellungen vornehmen?

(Bei &apos;Nein&apos; können Sie das später unter
&apos;Einstellungen&apos; -&gt; &apos;Allgemeine Einstellungen&apos; tun).</translation>
    </message>
    <message>
        <source>Do you first want to create a demo project?

(In case of &apos;Yes&apos; you can later create your own project under
&apos;File&apos; -&gt; &apos;New project&apos;).</source>
        <translation>Möchten Sie zuerst ein Demoprojekt anlegen?

(Bei &apos;Ja&apos; können Sie Ihr eigenes Projekt später unter
&apos;Datei&apos; -&gt; &apos;Neues Projekt&apos; anlegen).</translation>
    </message>
    <message>
        <source>Create Demo Database</source>
        <translation>Demodatenbank anlegen</translation>
    </message>
    <message>
        <source>Remove Database</source>
        <translation>Datenbank entfernen</translation>
    </message>
    <message>
        <source>Cannot remove old demo database</source>
        <translation>Die alte Demodatenbank kann nicht entfernt werden</translation>
    </message>
</context>
<context>
    <name>KxTableWidget</name>
    <message>
        <source>Empty Table</source>
        <translation>Leere Tabelle</translation>
    </message>
</context>
<context>
    <name>MyImportUsers</name>
    <message>
        <source>Import User List</source>
        <translation>Import Benutzerliste</translation>
    </message>
</context>
<context>
    <name>MyRdr</name>
    <message>
        <source>Response length error</source>
        <translation>Fehler in der Antwortlänge</translation>
    </message>
    <message>
        <source>No tag error</source>
        <translation>Kein Transponder im Feld</translation>
    </message>
    <message>
        <source>Mulitple tags error</source>
        <translation>Mehrere Transponder im Feld</translation>
    </message>
    <message>
        <source>Unsupported tag error</source>
        <translation>Transponder wird nicht unterstützt</translation>
    </message>
    <message>
        <source>Unsupported function</source>
        <translation>Funktion wird nicht unterstützt</translation>
    </message>
    <message>
        <source>Invalid serial number</source>
        <translation>Ungültige Seriennummer</translation>
    </message>
    <message>
        <source>Save configuration file error</source>
        <translation>Fehler beim Speichern der Konfigurationsdatei</translation>
    </message>
</context>
<context>
    <name>ProjectSchema</name>
    <message>
        <source>Always</source>
        <translation>Immer</translation>
    </message>
</context>
<context>
    <name>ReaderAccessTables</name>
    <message>
        <source>Table record of unexpected length or count</source>
        <translation>Tabelleneintrag mit unerwarteter Länge oder Anzahl</translation>
    </message>
    <message>
        <source>Table metadata not writable</source>
        <translation>Tabellen-Metadaten nicht schreibbar</translation>
    </message>
    <message>
        <source>Table full</source>
        <translation>Tabelle voll</translation>
    </message>
    <message>
        <source>Invalid identifier length</source>
        <translation>Ungültige Länge der Transponderkennung</translation>
    </message>
    <message>
        <source>Invalid identifier format</source>
        <translation>Ungültiges Format der Transponderkennung</translation>
    </message>
    <message>
        <source>Table file error</source>
        <translation>Fehler beim Schreiben der Tabellendatei</translation>
    </message>
</context>
<context>
    <name>ReaderConfiguration</name>
    <message>
        <source>FCC: USA</source>
        <translation>FCC: USA</translation>
    </message>
    <message>
        <source>EU: Europe</source>
        <translation>EU: Europa</translation>
    </message>
    <message>
        <source>FCC: China</source>
        <translation>FCC: China</translation>
    </message>
    <message>
        <source>EU: Asia / Oceania</source>
        <translation>EU: Asien / Ozeanien</translation>
    </message>
    <message>
        <source>FCC: Australia / New Zealand</source>
        <translation>FCC: Australien / Neuseeland</translation>
    </message>
    <message>
        <source>EU: Russia</source>
        <translation>EU: Russland</translation>
    </message>
    <message>
        <source>FCC: Brazil</source>
        <translation>FCC: Brasilien</translation>
    </message>
    <message>
        <source>EU: Africa</source>
        <translation>EU: Afrika</translation>
    </message>
    <message>
        <source>FCC: Israel</source>
        <translation>FCC: Israel</translation>
    </message>
    <message>
        <source>EU: India</source>
        <translation>EU: Indien</translation>
    </message>
    <message>
        <source>FCC: Japan</source>
        <translation>FCC: Japan</translation>
    </message>
    <message>
        <source>EU: Morocco</source>
        <translation>EU: Marokko</translation>
    </message>
    <message>
        <source>FCC: Malaysia</source>
        <translation>FCC: Malaysia</translation>
    </message>
    <message>
        <source>FCC: Korea</source>
        <translation>FCC: Korea</translation>
    </message>
    <message>
        <source>EU: Manual</source>
        <translation>EU: Manuell</translation>
    </message>
    <message>
        <source>FCC: Manual</source>
        <translation>FCC: Manuell</translation>
    </message>
    <message>
        <source>Unknown region</source>
        <translation>Unbekannte Region</translation>
    </message>
</context>
<context>
    <name>ReaderFactory</name>
    <message>
        <source>USB-stick access error</source>
        <translation>Fehler beim Zugriff auf den USB-Stick</translation>
    </message>
    <message>
        <source>Unsupported function</source>
        <translation>Funktion wird nicht unterstützt</translation>
    </message>
    <message>
        <source>No reader configured for reading tags.
Please check your settings.</source>
        <translation>Kein Leser zum Lesen von Transpondern eingestellt.
Bitte prüfen Sie Ihre Einstellungen.</translation>
    </message>
    <message>
        <source>Unsupported reader type</source>
        <translation>Lesertyp wird nicht unterstützt</translation>
    </message>
    <message>
        <source>No tag error</source>
        <translation>Kein Transponder im Feld</translation>
    </message>
</context>
<context>
    <name>ReaderTypes</name>
    <message>
        <source>Reader type %1</source>
        <translation>Lesertyp %1</translation>
    </message>
</context>
<context>
    <name>RecordStatement</name>
    <message>
        <source>Statement failed</source>
        <translation>Anweisung fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>TimePeriod</name>
    <message>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
    <message>
        <source>Holiday</source>
        <translation>Feiertag</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>Always</source>
        <translation>Immer</translation>
    </message>
</context>
<context>
    <name>UserRecords</name>
    <message>
        <source>Import Transponder</source>
        <translation>Transponder importieren</translation>
    </message>
    <message>
        <source>The transponder identifier is empty</source>
        <translation>Die Transponderkennung ist leer</translation>
    </message>
</context>
</TS>
