<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AccessExplainer</name>
    <message>
        <source>There is no entry &apos;%1&apos;.</source>
        <translation>Es gibt keinen Zutritt „%1“.</translation>
    </message>
    <message>
        <source>Several areas have an entry &apos;%1&apos;; name it as AREA/ENTRY.</source>
        <translation>Mehrere Bereiche haben einen Zutritt „%1“; nennen Sie ihn als BEREICH/ZUTRITT.</translation>
    </message>
    <message>
        <source>There is no entry with key %1.</source>
        <translation>Es gibt keinen Zutritt mit dem Schlüssel %1.</translation>
    </message>
    <message>
        <source>Permitted: %1 at %2 on %3</source>
        <translation>Erlaubt: %1 an %2 am %3</translation>
    </message>
    <message>
        <source>Denied: %1 at %2 on %3</source>
        <translation>Verweigert: %1 an %2 am %3</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keines</translation>
    </message>
    <message>
        <source>User: %1</source>
        <translation>Benutzer: %1</translation>
    </message>
    <message>
        <source>User: %1, identifier %2</source>
        <translation>Benutzer: %1, Kennung %2</translation>
    </message>
    <message>
        <source>The reader of %1 (type %2) holds no access tables.</source>
        <translation>Der Leser von %1 (Typ %2) hält keine Zutrittstabellen.</translation>
    </message>
    <message>
        <source>%1 has no long-range identifier, which the reader of %2 reads.</source>
        <translation>%1 hat keine UHF-Kennung, die der Leser von %2 liest.</translation>
    </message>
    <message>
        <source>%1 has no short-range identifier, which the reader of %2 reads.</source>
        <translation>%1 hat keine HF-Kennung, die der Leser von %2 liest.</translation>
    </message>
    <message>
        <source>%1 has no right at %2.</source>
        <translation>%1 hat kein Recht an %2.</translation>
    </message>
    <message>
        <source>The identifier has %1 bytes, fewer than the project length of %2: the reader holds it as %3 and does not match a tag that presents %2 bytes.</source>
        <translation>Die Kennung hat %1 Bytes, weniger als die Projektlänge von %2: Der Leser hält sie als %3 und erkennt keinen Transponder, der %2 Bytes liefert.</translation>
    </message>
    <message>
        <source>The identifier is blank or unreadable at the project length of %1 bytes: it is never sent to a reader.</source>
        <translation>Die Kennung ist bei der Projektlänge von %1 Bytes leer oder unlesbar: Sie wird nie an einen Leser gesendet.</translation>
    </message>
    <message>
        <source>The reader holds this identifier for %1, whose identifier has the same first %2 bytes: those rights apply.</source>
        <translation>Der Leser hält diese Kennung für %1, deren Kennung dieselben ersten %2 Bytes hat: Es gelten deren Rechte.</translation>
    </message>
    <message>
        <source>identifier %1</source>
        <translation>Kennung %1</translation>
    </message>
    <message>
        <source>Identifier %1 belongs to no user.</source>
        <translation>Die Kennung %1 gehört keinem Benutzer.</translation>
    </message>
    <message>
        <source>Identifier %1 belongs to %2.</source>
        <translation>Die Kennung %1 gehört %2.</translation>
    </message>
    <message>
        <source>The reader of %1 holds no record for %2.</source>
        <translation>Der Leser von %1 hält keinen Eintrag für %2.</translation>
    </message>
    <message>
        <source>%1 holds the shorter identifier %2 (%3 of %4 bytes): the reader holds it as %5 and does not match this tag.</source>
        <translation>%1 hat die kürzere Kennung %2 (%3 von %4 Bytes): Der Leser hält sie als %5 und erkennt diesen Transponder nicht.</translation>
    </message>
    <message>
        <source>Right: time model %1 (%2): %3</source>
        <translation>Recht: Zeitmodell %1 (%2): %3</translation>
    </message>
    <message>
        <source>Time model %1 grants at all times.</source>
        <translation>Das Zeitmodell %1 erlaubt zu jeder Zeit.</translation>
    </message>
    <message>
        <source>%1 is a holiday: only holiday periods apply.</source>
        <translation>%1 ist ein Feiertag: Es gelten nur Feiertagszeiträume.</translation>
    </message>
    <message>
        <source>%1 is a holiday (%2): only holiday periods apply.</source>
        <translation>%1 ist ein Feiertag (%2): Es gelten nur Feiertagszeiträume.</translation>
    </message>
    <message>
        <source>The period %1 covers %2.</source>
        <translation>Der Zeitraum %1 deckt %2 ab.</translation>
    </message>
    <message>
        <source>No period of %1 covers %2; its periods: %3</source>
        <translation>Kein Zeitraum von %1 deckt %2 ab; seine Zeiträume: %3</translation>
    </message>
    <message>
        <source>The rights at %1 need more than %2 time windows: an update fails and the reader keeps its older tables.</source>
        <translation>Die Rechte an %1 brauchen mehr als %2 Zeitfenster: Eine Aktualisierung scheitert, und der Leser behält seine älteren Tabellen.</translation>
    </message>
    <message>
        <source>%1 is waiting for an update: its reader decides from older tables, last updated successfully at %2.</source>
        <translation>%1 wartet auf eine Aktualisierung: Sein Leser entscheidet nach älteren Tabellen, zuletzt erfolgreich aktualisiert am %2.</translation>
    </message>
    <message>
        <source>%1 is waiting for an update: its reader decides from older tables; no successful update is logged.</source>
        <translation>%1 wartet auf eine Aktualisierung: Sein Leser entscheidet nach älteren Tabellen; keine erfolgreiche Aktualisierung ist protokolliert.</translation>
    </message>
    <message>
        <source>Reader: permitted</source>
        <translation>Leser: erlaubt</translation>
    </message>
    <message>
        <source>Reader: denied, identifier unknown</source>
        <translation>Leser: verweigert, Kennung unbekannt</translation>
    </message>
    <message>
        <source>Reader: denied, outside its time windows</source>
        <translation>Leser: verweigert, außerhalb seiner Zeitfenster</translation>
    </message>
    <message>
        <source>The reader compares %1 bytes of an identifier, the project %2.</source>
        <translation>Der Leser vergleicht %1 Bytes einer Kennung, das Projekt %2.</translation>
    </message>
    <message>
        <source>The reader holds no record for this identifier; the database gives it windows %1.</source>
        <translation>Der Leser hält keinen Eintrag für diese Kennung; die Datenbank gibt ihr die Fenster %1.</translation>
    </message>
    <message>
        <source>The reader still holds a record for this identifier, with windows %1; the database has none.</source>
        <translation>Der Leser hält noch einen Eintrag für diese Kennung mit den Fenstern %1; die Datenbank hat keinen.</translation>
    </message>
    <message>
        <source>The reader&apos;s record carries windows %1, the database&apos;s %2.</source>
        <translation>Der Eintrag des Lesers trägt die Fenster %1, der der Datenbank %2.</translation>
    </message>
    <message>
        <source>The reader holds %1 as a holiday, the database does not.</source>
        <translation>Der Leser hält %1 als Feiertag, die Datenbank nicht.</translation>
    </message>
    <message>
        <source>The database holds %1 as a holiday, the reader does not.</source>
        <translation>Die Datenbank hält %1 als Feiertag, der Leser nicht.</translation>
    </message>
    <message>
        <source>Window %1 on the reader: %2; in the database: %3</source>
        <translation>Fenster %1 im Leser: %2; in der Datenbank: %3</translation>
    </message>
    <message>
        <source>The reader&apos;s tables differ from the database&apos;s.</source>
        <translation>Die Tabellen des Lesers weichen von denen der Datenbank ab.</translation>
    </message>
    <message>
        <source>The reader decides from the same tables as the database.</source>
        <translation>Der Leser entscheidet nach denselben Tabellen wie die Datenbank.</translation>
    </message>
</context>
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
    <message>
        <source>Unable to read the access rights of the board</source>
        <translation>Die Zutrittsrechte der Zutrittstafel konnten nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>AuditHistory</name>
    <message>
        <source>Record 1 is missing: the trail begins with record %1.</source>
        <translation>Eintrag 1 fehlt: Der Verlauf beginnt mit Eintrag %1.</translation>
    </message>
    <message>
        <source>Record %1 is missing: record %2 follows record %3.</source>
        <translation>Eintrag %1 fehlt: Auf Eintrag %3 folgt Eintrag %2.</translation>
    </message>
    <message>
        <source>Record %1 does not match its hash: it was changed or moved after it was written.</source>
        <translation>Eintrag %1 passt nicht zu seiner Prüfsumme: Er wurde nach dem Schreiben geändert oder verschoben.</translation>
    </message>
</context>
<context>
    <name>AuditTrail</name>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>Zutritt</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <source>Time model</source>
        <translation>Zeitmodell</translation>
    </message>
    <message>
        <source>Holiday</source>
        <translation>Feiertag</translation>
    </message>
    <message>
        <source>Access rights</source>
        <translation>Zutrittsrechte</translation>
    </message>
    <message>
        <source>Project settings</source>
        <translation>Projekteinstellungen</translation>
    </message>
    <message>
        <source>User list</source>
        <translation>Benutzerliste</translation>
    </message>
    <message>
        <source>Reader function</source>
        <translation>Leserfunktion</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>added</source>
        <translation>hinzugefügt</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>renamed</source>
        <translation>umbenannt</translation>
    </message>
    <message>
        <source>set</source>
        <translation>gesetzt</translation>
    </message>
    <message>
        <source>undone</source>
        <translation>rückgängig gemacht</translation>
    </message>
    <message>
        <source>redone</source>
        <translation>wiederholt</translation>
    </message>
    <message>
        <source>imported</source>
        <translation>importiert</translation>
    </message>
    <message>
        <source>synchronised</source>
        <translation>abgeglichen</translation>
    </message>
    <message>
        <source>run</source>
        <translation>ausgeführt</translation>
    </message>
    <message>
        <source>filled</source>
        <translation>befüllt</translation>
    </message>
</context>
<context>
    <name>AuditTrailExport</name>
    <message>
        <source>The file &apos;%1&apos; could not be written: %2</source>
        <translation>Die Datei „%1“ konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>the PDF could not be started</source>
        <translation>das PDF konnte nicht begonnen werden</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>Seite %1</translation>
    </message>
</context>
<context>
    <name>AuditTrailModel</name>
    <message>
        <source>%1 (record %2)</source>
        <translation>%1 (Eintrag %2)</translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%1 an %2</translation>
    </message>
    <message>
        <source>1 user</source>
        <translation>1 Benutzer</translation>
    </message>
    <message>
        <source>%1 users</source>
        <translation>%1 Benutzer</translation>
    </message>
    <message>
        <source>1 entry</source>
        <translation>1 Zutritt</translation>
    </message>
    <message>
        <source>%1 entries</source>
        <translation>%1 Zutritte</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bearbeiter</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Programm</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>Objekt</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Vorher</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Nachher</translation>
    </message>
</context>
<context>
    <name>BoardChange</name>
    <message>
        <source>Unable to undo the change of rights</source>
        <translation>Die Änderung der Rechte lässt sich nicht rückgängig machen</translation>
    </message>
    <message>
        <source>The user &quot;%1, %2&quot; is not the one the change was made for: removed and another one added under the same key, or changed since. Nothing was changed.</source>
        <translation>Der Benutzer &quot;%1, %2&quot; ist nicht mehr der, für den die Änderung gemacht wurde: entfernt und ein anderer unter demselben Schlüssel angelegt, oder seither geändert. Es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>The entry &quot;%1&quot; is not the one the change was made for: removed and another one added under the same key, or changed since. Nothing was changed.</source>
        <translation>Der Zutritt &quot;%1&quot; ist nicht mehr der, für den die Änderung gemacht wurde: entfernt und ein anderer unter demselben Schlüssel angelegt, oder seither geändert. Es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>The time model &quot;%1&quot; is not the one the change was made for: removed and another one added under the same key, or changed since. Nothing was changed.</source>
        <translation>Das Zeitmodell &quot;%1&quot; ist nicht mehr das, für das die Änderung gemacht wurde: entfernt und ein anderes unter demselben Schlüssel angelegt, oder seither geändert. Es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>The rights of the block were changed elsewhere since: the whole block was compared and set back as it was before the change.</source>
        <translation>Die Rechte des Blocks wurden inzwischen an anderer Stelle geändert: Der ganze Block wurde verglichen und wieder so gesetzt wie vor der Änderung.</translation>
    </message>
</context>
<context>
    <name>BoardFind</name>
    <message>
        <source>No match</source>
        <translation>Kein Treffer</translation>
    </message>
    <message>
        <source>1 match</source>
        <translation>1 Treffer</translation>
    </message>
    <message>
        <source>%1 matches</source>
        <translation>%1 Treffer</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
</context>
<context>
    <name>BoardHistory</name>
    <message>
        <source>%1 of %2 at %3</source>
        <translation>%1 von %2 an %3</translation>
    </message>
    <message>
        <source>1 right</source>
        <translation>1 Recht</translation>
    </message>
    <message>
        <source>%1 rights</source>
        <translation>%1 Rechte</translation>
    </message>
    <message>
        <source>1 user</source>
        <translation>1 Benutzer</translation>
    </message>
    <message>
        <source>%1 users</source>
        <translation>%1 Benutzer</translation>
    </message>
    <message>
        <source>1 entry</source>
        <translation>1 Zutritt</translation>
    </message>
    <message>
        <source>%1 entries</source>
        <translation>%1 Zutritte</translation>
    </message>
    <message>
        <source>Remove %1?</source>
        <translation>%1 entfernen?</translation>
    </message>
    <message>
        <source>Set the time model %1 on %2?</source>
        <translation>Das Zeitmodell %1 für %2 setzen?</translation>
    </message>
    <message>
        <source>Remove Time Model</source>
        <translation>Zeitmodell entfernen</translation>
    </message>
    <message>
        <source>Set Time Model</source>
        <translation>Zeitmodell setzen</translation>
    </message>
    <message>
        <source>The entries will be marked for &quot;Update Access Rights&quot;.
Edit -&gt; Undo (Ctrl+Z) takes the change back.</source>
        <translation>Die Zutritte werden für &quot;Zutrittsrechte aktualisieren&quot; markiert.
Bearbeiten -&gt; Rückgängig (Strg+Z) nimmt die Änderung zurück.</translation>
    </message>
    <message>
        <source>DB change time model</source>
        <translation>DB Zeitmodell ändern</translation>
    </message>
    <message>
        <source>Set Time Model %1</source>
        <translation>Zeitmodell %1 setzen</translation>
    </message>
    <message>
        <source>The user group &quot;%1&quot; exists already.

Join the users of &quot;%2&quot; to it?</source>
        <translation>Die Benutzergruppe &quot;%1&quot; existiert bereits.

Die Benutzer von &quot;%2&quot; zu ihr hinzufügen?</translation>
    </message>
    <message>
        <source>The area &quot;%1&quot; exists already.

Join the entries of &quot;%2&quot; to it?</source>
        <translation>Der Bereich &quot;%1&quot; existiert bereits.

Die Zutritte von &quot;%2&quot; zu ihm hinzufügen?</translation>
    </message>
    <message>
        <source>Rename User Group</source>
        <translation>Benutzergruppe umbenennen</translation>
    </message>
    <message>
        <source>Rename Area</source>
        <translation>Bereich umbenennen</translation>
    </message>
    <message>
        <source>Rename User Group &quot;%1&quot; to &quot;%2&quot;</source>
        <translation>Benutzergruppe &quot;%1&quot; in &quot;%2&quot; umbenennen</translation>
    </message>
    <message>
        <source>Rename Area &quot;%1&quot; to &quot;%2&quot;</source>
        <translation>Bereich &quot;%1&quot; in &quot;%2&quot; umbenennen</translation>
    </message>
    <message>
        <source>Redone: %1</source>
        <translation>Wiederholt: %1</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>This step and the ones before it were taken off the list.</source>
        <translation>Dieser Schritt und die vor ihm wurden aus der Liste entfernt.</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
</context>
<context>
    <name>BoardMenus</name>
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
        <source>Verify Reader</source>
        <translation>Leser abgleichen</translation>
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
        <source>Why…?</source>
        <translation>Warum…?</translation>
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
        <source>Open path</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>The path

%1

lies outside the project folder.</source>
        <translation>Der Ordner

%1

liegt außerhalb des Projektordners.</translation>
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
        <source>KEYS:
The arrow keys, Page Up/Down, Home and End move the current cell; Enter opens its menu, Space collapses or expands. Ctrl+F finds users, groups, entries and areas; Ctrl+Z and Ctrl+Shift+Z undo and redo changes of rights.

LEGEND:
&apos;Help&apos; -&gt; &apos;Access Board Legend&apos; explains the colours and marks of the board.</source>
        <translation>TASTEN:
Die Pfeiltasten, Bild auf/ab, Pos1 und Ende bewegen die aktuelle Zelle; die Eingabetaste öffnet ihr Menü, die Leertaste klappt zu oder auf. Strg+F findet Benutzer, Gruppen, Zutritte und Bereiche; Strg+Z und Strg+Umschalt+Z machen Änderungen von Rechten rückgängig und wiederholen sie.

LEGENDE:
&apos;Hilfe&apos; -&gt; &apos;Legende der Zutrittstafel&apos; erklärt die Farben und Zeichen der Tafel.</translation>
    </message>
    <message>
        <source>History of this right…</source>
        <translation>Verlauf dieses Rechts…</translation>
    </message>
</context>
<context>
    <name>BoardPresenter</name>
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
        <source>No project loaded</source>
        <translation>Kein Projekt geladen</translation>
    </message>
    <message>
        <source>Project: %1    Users: %2    Entries: %3    Pending updates: %4</source>
        <translation>Projekt: %1    Benutzer: %2    Zutritte: %3    Ausstehende Aktualisierungen: %4</translation>
    </message>
    <message>
        <source>User: %1</source>
        <translation>Benutzer: %1</translation>
    </message>
    <message>
        <source>User Group: %1 (%2)</source>
        <translation>Benutzergruppe: %1 (%2)</translation>
    </message>
    <message>
        <source>1 user</source>
        <translation>1 Benutzer</translation>
    </message>
    <message>
        <source>%1 users</source>
        <translation>%1 Benutzer</translation>
    </message>
    <message>
        <source>Entry: %1</source>
        <translation>Zutritt: %1</translation>
    </message>
    <message>
        <source>Area: %1 (%2)</source>
        <translation>Bereich: %1 (%2)</translation>
    </message>
    <message>
        <source>1 entry</source>
        <translation>1 Zutritt</translation>
    </message>
    <message>
        <source>%1 entries</source>
        <translation>%1 Zutritte</translation>
    </message>
    <message>
        <source>The reader of this entry needs an update.</source>
        <translation>Der Leser dieses Zutritts braucht eine Aktualisierung.</translation>
    </message>
    <message>
        <source>This entry cannot be updated as it stands:</source>
        <translation>Dieser Zutritt lässt sich so nicht aktualisieren:</translation>
    </message>
    <message>
        <source>Entries waiting for an update: %1</source>
        <translation>Zutritte, die auf eine Aktualisierung warten: %1</translation>
    </message>
    <message>
        <source>Collapsed: double click to expand.</source>
        <translation>Zugeklappt: Doppelklick zum Aufklappen.</translation>
    </message>
    <message>
        <source>Time model: different ones (&quot;...&quot;)</source>
        <translation>Zeitmodell: verschiedene (&quot;...&quot;)</translation>
    </message>
    <message>
        <source>No access</source>
        <translation>Kein Zutritt</translation>
    </message>
    <message>
        <source>Time model: %1 (%2)</source>
        <translation>Zeitmodell: %1 (%2)</translation>
    </message>
    <message>
        <source>Differs from most rights of its group and area (grey).</source>
        <translation>Weicht von den meisten Rechten seiner Gruppe und seines Bereichs ab (grau).</translation>
    </message>
    <message>
        <source>User Group: %1</source>
        <translation>Benutzergruppe: %1</translation>
    </message>
    <message>
        <source>User: %1 (%2)</source>
        <translation>Benutzer: %1 (%2)</translation>
    </message>
    <message>
        <source>Area: %1</source>
        <translation>Bereich: %1</translation>
    </message>
    <message>
        <source>Entry: %1 (%2)</source>
        <translation>Zutritt: %1 (%2)</translation>
    </message>
    <message>
        <source>The board could not be read again: %1</source>
        <translation>Die Zutrittstafel konnte nicht neu gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>BoardRename</name>
    <message>
        <source>No group name given</source>
        <translation>Kein Gruppenname angegeben</translation>
    </message>
    <message>
        <source>No area name given</source>
        <translation>Kein Bereichsname angegeben</translation>
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
    <name>EntryRecords</name>
    <message>
        <source>The entry name &apos;%1&apos; cannot name the entry&apos;s log and data folders.
An entry name must not begin with a dot and must not contain &apos;/&apos;, &apos;\&apos;, &apos;..&apos; or control characters.</source>
        <translation>Der Zutrittsname &apos;%1&apos; kann die Protokoll- und Datenordner des Zutritts nicht benennen.
Ein Zutrittsname darf nicht mit einem Punkt beginnen und weder &apos;/&apos;, &apos;\&apos;, &apos;..&apos; noch Steuerzeichen enthalten.</translation>
    </message>
    <message>
        <source>The entry name is too long for the entry&apos;s log and data folders.
Please use a shorter name.</source>
        <translation>Der Zutrittsname ist zu lang für die Protokoll- und Datenordner des Zutritts.
Bitte verwenden Sie einen kürzeren Namen.</translation>
    </message>
    <message>
        <source>No entry name given</source>
        <translation>Kein Zutrittsname angegeben</translation>
    </message>
    <message>
        <source>No area name given</source>
        <translation>Kein Bereichsname angegeben</translation>
    </message>
    <message>
        <source>The reader device ID &apos;%1&apos; is not a hexadecimal number of 1 to 8 digits (0-9, A-F).</source>
        <translation>Die Geräte-ID &apos;%1&apos; ist keine Hexadezimalzahl mit 1 bis 8 Ziffern (0-9, A-F).</translation>
    </message>
    <message>
        <source>The reader MAC address &apos;%1&apos; is not of the form 00:11:22:AA:BB:CC.</source>
        <translation>Die MAC-Adresse &apos;%1&apos; hat nicht die Form 00:11:22:AA:BB:CC.</translation>
    </message>
    <message>
        <source>No reader device ID given
(A reader served through the USB flash drive finds its files by its device ID.)</source>
        <translation>Keine Geräte-ID des Lesers angegeben
(Ein Leser, der über den USB-Stick versorgt wird, findet seine Dateien über seine Geräte-ID.)</translation>
    </message>
    <message>
        <source>The area &apos;%1&apos; already has an entry named &apos;%2&apos;.</source>
        <translation>Der Bereich &apos;%1&apos; hat bereits einen Zutritt namens &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>The reader with device ID %1 already controls the entry &apos;%2&apos;.</source>
        <translation>Der Leser mit der Geräte-ID %1 steuert bereits den Zutritt &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>The reader with MAC address %1 already controls the entry &apos;%2&apos;.</source>
        <translation>Der Leser mit der MAC-Adresse %1 steuert bereits den Zutritt &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>The reader connection %1 is already used by the entry &apos;%2&apos;.</source>
        <translation>Die Leserverbindung %1 wird bereits vom Zutritt &apos;%2&apos; verwendet.</translation>
    </message>
    <message>
        <source>The entry was removed meanwhile.</source>
        <translation>Der Zutritt wurde inzwischen entfernt.</translation>
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
    <name>EventLogModel</name>
    <message>
        <source>invalid date</source>
        <translation>ungültiges Datum</translation>
    </message>
    <message>
        <source>(removed entry %1)</source>
        <translation>(entfernter Zutritt %1)</translation>
    </message>
    <message>
        <source>unknown identifier</source>
        <translation>unbekannte Kennung</translation>
    </message>
    <message>
        <source>Date and Time</source>
        <translation>Datum und Uhrzeit</translation>
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
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Antenna</source>
        <translation>Antenne</translation>
    </message>
</context>
<context>
    <name>EventRecords</name>
    <message>
        <source>granted</source>
        <translation>gewährt</translation>
    </message>
    <message>
        <source>denied: no right (identifier unknown to the reader)</source>
        <translation>abgewiesen: kein Recht (Kennung dem Leser unbekannt)</translation>
    </message>
    <message>
        <source>denied: holiday</source>
        <translation>abgewiesen: Feiertag</translation>
    </message>
    <message>
        <source>denied: outside time window</source>
        <translation>abgewiesen: außerhalb des Zeitfensters</translation>
    </message>
    <message>
        <source>denied: anti-passback</source>
        <translation>abgewiesen: Anti-Passback</translation>
    </message>
    <message>
        <source>denied: error %1</source>
        <translation>abgewiesen: Fehler %1</translation>
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
    <name>FlashDriveDialogs</name>
    <message>
        <source>Choose USB-Stick</source>
        <translation>USB-Stick auswählen</translation>
    </message>
    <message>
        <source>Invalid Path</source>
        <translation>Ungültiger Pfad</translation>
    </message>
    <message>
        <source>Prepare USB-Stick</source>
        <translation>USB-Stick vorbereiten</translation>
    </message>
    <message>
        <source>Do you want to prepare the USB-stick for a new configuration ?
All existing configuration files will be deleted.</source>
        <translation>Wollen Sie den USB-Stick für eine neue Konfiguration vorbereiten ?
Alle vorhandenen Konfigurationsdateien werden gelöscht.</translation>
    </message>
</context>
<context>
    <name>FunctionRunLock</name>
    <message>
        <source>another program</source>
        <translation>ein anderes Programm</translation>
    </message>
    <message>
        <source>%1 (process %2 on %3)</source>
        <translation>%1 (Prozess %2 auf %3)</translation>
    </message>
    <message>
        <source>The project is in use by %1 (lock file &apos;%2&apos;); try again.</source>
        <translation>Das Projekt wird von %1 verwendet (Sperrdatei „%2“); bitte später erneut versuchen.</translation>
    </message>
    <message>
        <source>The project folder &apos;%1&apos; is read-only: the run lock &apos;%2&apos; cannot be made. Nothing was run.</source>
        <translation>Der Projektordner „%1“ ist schreibgeschützt: Die Laufsperre „%2“ kann nicht angelegt werden. Es wurde nichts ausgeführt.</translation>
    </message>
    <message>
        <source>The run lock &apos;%1&apos; cannot be made (disk full or folder missing?). Nothing was run.</source>
        <translation>Die Laufsperre „%1“ kann nicht angelegt werden (Datenträger voll oder Ordner fehlt?). Es wurde nichts ausgeführt.</translation>
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
    <message>
        <source>No program for opening files and folders is installed (xdg-open was not found).</source>
        <translation>Es ist kein Programm zum Öffnen von Dateien und Ordnern installiert (xdg-open wurde nicht gefunden).</translation>
    </message>
    <message>
        <source>The desktop has no program that opens it, or that program reported a failure.</source>
        <translation>Die Arbeitsumgebung hat kein Programm, das ihn öffnet, oder dieses Programm meldete einen Fehler.</translation>
    </message>
    <message>
        <source>The path

%1

could not be opened.

%2</source>
        <translation>Der Ordner

%1

konnte nicht geöffnet werden.

%2</translation>
    </message>
    <message>
        <source>The database server refused this: your role may not do it (permission denied). Nothing was changed. An administrator of the project can give your role more rights.</source>
        <translation>Der Datenbankserver hat das verweigert: Ihre Rolle darf es nicht (Zugriff verweigert). Nichts wurde geändert. Ein Administrator des Projekts kann Ihrer Rolle mehr Rechte geben.</translation>
    </message>
    <message>
        <source>The connection to the database server was lost or could not be made. What was under way was not written.</source>
        <translation>Die Verbindung zum Datenbankserver ist abgebrochen oder kam nicht zustande. Was gerade in Arbeit war, wurde nicht geschrieben.</translation>
    </message>
    <message>
        <source>Connect again and try once more?</source>
        <translation>Neu verbinden und noch einmal versuchen?</translation>
    </message>
</context>
<context>
    <name>HolidayImport</name>
    <message>
        <source>A reader holds at most %1 holidays from today on: with these the project would have %2. Nothing was added.</source>
        <translation>Ein Leser hält höchstens %1 Feiertage ab heute: mit diesen hätte das Projekt %2. Es wurde nichts hinzugefügt.</translation>
    </message>
</context>
<context>
    <name>HolidayRecords</name>
    <message>
        <source>%1: readers hold holidays from %2 to %3 only.</source>
        <translation>%1: Leser halten Feiertage nur von %2 bis %3.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a date.</source>
        <translation>„%1“ ist kein Datum.</translation>
    </message>
    <message>
        <source>The last day lies before the first day.</source>
        <translation>Der letzte Tag liegt vor dem ersten Tag.</translation>
    </message>
    <message>
        <source>At most %1 days can be added at once.</source>
        <translation>Es können höchstens %1 Tage auf einmal hinzugefügt werden.</translation>
    </message>
</context>
<context>
    <name>KelvaraBoardLegend</name>
    <message>
        <source>Access Board Legend</source>
        <translation>Legende der Zutrittstafel</translation>
    </message>
    <message>
        <source>The time model that lets the user pass the entry.</source>
        <translation>Das Zeitmodell, mit dem der Benutzer den Zutritt passieren darf.</translation>
    </message>
    <message>
        <source>No right: the user cannot pass the entry.</source>
        <translation>Kein Recht: der Benutzer kann den Zutritt nicht passieren.</translation>
    </message>
    <message>
        <source>The time model &quot;***&quot; (Always): access at any time.</source>
        <translation>Das Zeitmodell &quot;***&quot; (Immer): Zutritt zu jeder Zeit.</translation>
    </message>
    <message>
        <source>Grey: a right that differs from the most frequent one of its user group and area.</source>
        <translation>Grau: ein Recht, das vom häufigsten Recht seiner Benutzergruppe und seines Bereichs abweicht.</translation>
    </message>
    <message>
        <source>Yellow: a user group (row) or an area (column); its cells show the time model all members share. A change there applies to all members.</source>
        <translation>Gelb: eine Benutzergruppe (Zeile) oder ein Bereich (Spalte); ihre Zellen zeigen das Zeitmodell, das alle Mitglieder teilen. Eine Änderung dort gilt für alle Mitglieder.</translation>
    </message>
    <message>
        <source>&quot;...&quot;: the members of the group or area hold different time models.</source>
        <translation>&quot;...&quot;: die Mitglieder der Gruppe oder des Bereichs haben verschiedene Zeitmodelle.</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>Zutritt</translation>
    </message>
    <message>
        <source>Red entry head: the entry&apos;s reader needs an update (&quot;Update Access Rights&quot;). A collapsed area with such an entry is red too.</source>
        <translation>Roter Zutrittskopf: der Leser des Zutritts braucht eine Aktualisierung (&quot;Zutrittsrechte aktualisieren&quot;). Ein zugeklappter Bereich mit einem solchen Zutritt ist ebenfalls rot.</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <source>▸ collapsed, ▾ expanded group or area: a double click (or Space) switches.</source>
        <translation>▸ zugeklappte, ▾ aufgeklappte Gruppe oder Bereich: ein Doppelklick (oder die Leertaste) schaltet um.</translation>
    </message>
    <message>
        <source>The current cell: the arrow keys, Page Up/Down, Home and End move it; Enter opens its menu.</source>
        <translation>Die aktuelle Zelle: die Pfeiltasten, Bild auf/ab, Pos1 und Ende bewegen sie; die Eingabetaste öffnet ihr Menü.</translation>
    </message>
    <message>
        <source>Ctrl+F finds users, groups, entries and areas by name or identifier; Ctrl+Z and Ctrl+Shift+Z undo and redo changes of rights. Drag the board with the left mouse button.</source>
        <translation>Strg+F findet Benutzer, Gruppen, Zutritte und Bereiche nach Name oder Kennung; Strg+Z und Strg+Umschalt+Z machen Änderungen von Rechten rückgängig und wiederholen sie. Ziehen Sie die Tafel mit der linken Maustaste.</translation>
    </message>
</context>
<context>
    <name>KelvaraCfg_TZ60</name>
    <message>
        <source>Anti-Passback</source>
        <translation>Anti-Passback</translation>
    </message>
    <message>
        <source>Timed-Logical</source>
        <translation>Zeitlich-logisch</translation>
    </message>
    <message>
        <source>After a granted access the same transponder is refused at this reader
until the blocking time has passed.</source>
        <translation>Nach einem gewährten Zutritt wird derselbe Transponder an diesem Leser
abgewiesen, bis die Sperrzeit abgelaufen ist.</translation>
    </message>
    <message>
        <source>Blocking Time</source>
        <translation>Sperrzeit</translation>
    </message>
    <message>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <source>Minutes a transponder stays blocked after a granted access (at most %1).</source>
        <translation>Minuten, die ein Transponder nach einem gewährten Zutritt gesperrt bleibt (höchstens %1).</translation>
    </message>
    <message>
        <source>Relay Output</source>
        <translation>Relaisausgang</translation>
    </message>
    <message>
        <source> sec</source>
        <translation> s</translation>
    </message>
    <message>
        <source>How long the relay stays switched after a granted access.</source>
        <translation>Wie lange das Relais nach einem gewährten Zutritt geschaltet bleibt.</translation>
    </message>
    <message>
        <source>Hold Time</source>
        <translation>Haltezeit</translation>
    </message>
    <message>
        <source>External PQ.I/O Board</source>
        <translation>Externe PQ.I/O-Platine</translation>
    </message>
    <message>
        <source>&apos;Reader Info&apos; shows PQ.I/O state</source>
        <translation>&apos;Leser-Info&apos; zeigt den PQ.I/O-Zustand</translation>
    </message>
    <message>
        <source>Checked when the reader switches its door through the external PQ.I/O board.
&apos;Reader Info&apos; finds out whether the reader supports it and whether the board is paired.</source>
        <translation>Gesetzt, wenn der Leser seine Tür über die externe PQ.I/O-Platine schaltet.
&apos;Leser-Info&apos; ermittelt, ob der Leser sie unterstützt und ob die Platine gekoppelt ist.</translation>
    </message>
    <message>
        <source>The decimal serial number printed on the board;
0 for the first pairing of a new board.</source>
        <translation>Die auf der Platine aufgedruckte dezimale Seriennummer;
0 beim ersten Koppeln einer neuen Platine.</translation>
    </message>
    <message>
        <source>Pairing</source>
        <translation>Koppeln</translation>
    </message>
    <message>
        <source>Pairs the reader with the board of this serial number.</source>
        <translation>Koppelt den Leser mit der Platine dieser Seriennummer.</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Invalid serial number</source>
        <translation>Ungültige Seriennummer</translation>
    </message>
</context>
<context>
    <name>KelvaraCfg_TZU700</name>
    <message>
        <source>INT-ANT</source>
        <translation>INT-ANT</translation>
    </message>
    <message>
        <source>ANT1</source>
        <translation>ANT1</translation>
    </message>
    <message>
        <source>EXT-ANT</source>
        <translation>EXT-ANT</translation>
    </message>
    <message>
        <source>ANT2</source>
        <translation>ANT2</translation>
    </message>
    <message>
        <source>Anti-Passback</source>
        <translation>Anti-Passback</translation>
    </message>
    <message>
        <source>Timed-Logical</source>
        <translation>Zeitlich-logisch</translation>
    </message>
    <message>
        <source>After a granted access the same transponder is refused at this reader
until the blocking time has passed.</source>
        <translation>Nach einem gewährten Zutritt wird derselbe Transponder an diesem Leser
abgewiesen, bis die Sperrzeit abgelaufen ist.</translation>
    </message>
    <message>
        <source>Blocking Time</source>
        <translation>Sperrzeit</translation>
    </message>
    <message>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <source>Minutes a transponder stays blocked after a granted access (at most %1).</source>
        <translation>Minuten, die ein Transponder nach einem gewährten Zutritt gesperrt bleibt (höchstens %1).</translation>
    </message>
    <message>
        <source>Logical</source>
        <translation>Logisch</translation>
    </message>
    <message>
        <source>A transponder that entered must leave before it can enter again;
one antenna reads at the entry, the other at the exit.</source>
        <translation>Ein eingetretener Transponder muss erst austreten, bevor er wieder eintreten kann;
eine Antenne liest am Eingang, die andere am Ausgang.</translation>
    </message>
    <message>
        <source>Entry=INT-ANT, Exit=EXT-ANT</source>
        <translation>Eingang=INT-ANT, Ausgang=EXT-ANT</translation>
    </message>
    <message>
        <source>Entry=EXT-ANT, Exit=INT-ANT</source>
        <translation>Eingang=EXT-ANT, Ausgang=INT-ANT</translation>
    </message>
    <message>
        <source>Entry=ANT1, Exit=ANT2</source>
        <translation>Eingang=ANT1, Ausgang=ANT2</translation>
    </message>
    <message>
        <source>Entry=ANT2, Exit=ANT1</source>
        <translation>Eingang=ANT2, Ausgang=ANT1</translation>
    </message>
    <message>
        <source>Which antenna reads at the entry and which at the exit.</source>
        <translation>Welche Antenne am Eingang und welche am Ausgang liest.</translation>
    </message>
    <message>
        <source>Antennas</source>
        <translation>Antennen</translation>
    </message>
    <message>
        <source>1 Antenna</source>
        <translation>1 Antenne</translation>
    </message>
    <message>
        <source>2 Antennas</source>
        <translation>2 Antennen</translation>
    </message>
    <message>
        <source>How many antennas are connected to the reader.</source>
        <translation>Wie viele Antennen am Leser angeschlossen sind.</translation>
    </message>
    <message>
        <source> W</source>
        <translation> W</translation>
    </message>
    <message>
        <source>Transmit power of the antenna: more power reads from farther away.</source>
        <translation>Sendeleistung der Antenne: mehr Leistung liest aus größerer Entfernung.</translation>
    </message>
    <message>
        <source>RF Power %1</source>
        <translation>HF-Leistung %1</translation>
    </message>
    <message>
        <source>Both Antennas control LED&apos;s</source>
        <translation>Beide Antennen steuern die LEDs</translation>
    </message>
    <message>
        <source>INT-ANT controls LED&apos;s</source>
        <translation>INT-ANT steuert die LEDs</translation>
    </message>
    <message>
        <source>Which antenna&apos;s readings the LED&apos;s show.</source>
        <translation>Die Lesungen welcher Antenne die LEDs anzeigen.</translation>
    </message>
    <message>
        <source>LED Signal</source>
        <translation>LED-Signal</translation>
    </message>
    <message>
        <source>Relay Outputs</source>
        <translation>Relaisausgänge</translation>
    </message>
    <message>
        <source> sec</source>
        <translation> s</translation>
    </message>
    <message>
        <source>How long the output stays switched after a granted access.</source>
        <translation>Wie lange der Ausgang nach einem gewährten Zutritt geschaltet bleibt.</translation>
    </message>
    <message>
        <source>Hold Time REL1/OUT1</source>
        <translation>Haltezeit REL1/OUT1</translation>
    </message>
    <message>
        <source>Hold Time REL2/OUT2</source>
        <translation>Haltezeit REL2/OUT2</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <source>The reader reads only after a signal on its inputs,
for example from a vehicle loop or a light barrier.</source>
        <translation>Der Leser liest erst nach einem Signal an seinen Eingängen,
zum Beispiel von einer Induktionsschleife oder einer Lichtschranke.</translation>
    </message>
    <message>
        <source>Edge triggered</source>
        <translation>Flankengesteuert</translation>
    </message>
    <message>
        <source>Level triggered</source>
        <translation>Pegelgesteuert</translation>
    </message>
    <message>
        <source>Edge: a change of the input starts the reading time.
Level: the reader reads as long as the input is active.</source>
        <translation>Flanke: ein Wechsel am Eingang startet die Lesezeit.
Pegel: der Leser liest, solange der Eingang aktiv ist.</translation>
    </message>
    <message>
        <source>How long the reader reads after a trigger.</source>
        <translation>Wie lange der Leser nach einem Trigger liest.</translation>
    </message>
    <message>
        <source>Reader Active Time</source>
        <translation>Leser-Aktivzeit</translation>
    </message>
    <message>
        <source>IN1,IN2 -&gt; Both Antennas</source>
        <translation>IN1,IN2 -&gt; Beide Antennen</translation>
    </message>
    <message>
        <source>IN1 -&gt; INT-ANT , IN2 -&gt; EXT-ANT</source>
        <translation>IN1 -&gt; INT-ANT , IN2 -&gt; EXT-ANT</translation>
    </message>
    <message>
        <source>Which antennas an input switches on.</source>
        <translation>Welche Antennen ein Eingang einschaltet.</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Permanent</source>
        <translation>Dauerhaft</translation>
    </message>
    <message>
        <source>Flash 1 Hz</source>
        <translation>Blinken 1 Hz</translation>
    </message>
    <message>
        <source>Flash 2 Hz</source>
        <translation>Blinken 2 Hz</translation>
    </message>
    <message>
        <source>Flash 4 Hz</source>
        <translation>Blinken 4 Hz</translation>
    </message>
    <message>
        <source>LED&apos;s</source>
        <translation>LEDs</translation>
    </message>
    <message>
        <source>LED colour while the reader waits.</source>
        <translation>LED-Farbe, während der Leser wartet.</translation>
    </message>
    <message>
        <source>LED colour after a granted access.</source>
        <translation>LED-Farbe nach einem gewährten Zutritt.</translation>
    </message>
    <message>
        <source>LED colour after a refused access.</source>
        <translation>LED-Farbe nach einem abgewiesenen Zutritt.</translation>
    </message>
    <message>
        <source>Idle Color</source>
        <translation>Farbe Ruhe</translation>
    </message>
    <message>
        <source>Valid Color</source>
        <translation>Farbe gültig</translation>
    </message>
    <message>
        <source>Valid Mode</source>
        <translation>Modus gültig</translation>
    </message>
    <message>
        <source>Invalid Color</source>
        <translation>Farbe ungültig</translation>
    </message>
    <message>
        <source>Invalid Mode</source>
        <translation>Modus ungültig</translation>
    </message>
</context>
<context>
    <name>KelvaraCli</name>
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
        <source>paths takes no arguments.</source>
        <translation>paths nimmt keine Argumente.</translation>
    </message>
    <message>
        <source>The project is in use by another program; try again.</source>
        <translation>Das Projekt wird von einem anderen Programm verwendet; bitte später erneut versuchen.</translation>
    </message>
    <message>
        <source>The project database cannot be read.</source>
        <translation>Die Projektdatenbank kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The import was stopped; nothing was imported.</source>
        <translation>Der Import wurde angehalten; es wurde nichts importiert.</translation>
    </message>
    <message>
        <source>Stopped at once by a second signal: the entry in progress may be incomplete and keeps its pending mark.</source>
        <translation>Durch ein zweites Signal sofort beendet: Der laufende Zutritt ist womöglich unvollständig und bleibt zur Aktualisierung markiert.</translation>
    </message>
    <message>
        <source>Checks:
  kelvara-cli verify [--project DIR] [SCOPE as for run] [--mark]
      Reads each reader&apos;s tables back and compares them with what the
      database gives now; one line per entry: name, a tab and &quot;in sync&quot;,
      &quot;differs: &quot; with the differences, NO CONNECTION or FAILED. --mark
      marks differing entries as needing an update. Exit status 0 when all
      are in sync, else 1.
  kelvara-cli check [--project DIR] [SCOPE as for run]
      Checks what the next update would send against the readers&apos; limits and
      the project&apos;s rules; one block per entry with problems and a summary
      line. Exit status 1 when an entry cannot be updated as it stands.
</source>
        <translation>Prüfungen:
  kelvara-cli verify [--project DIR] [UMFANG wie bei run] [--mark]
      Liest die Tabellen jedes Lesers zurück und vergleicht sie mit dem, was die
      Datenbank jetzt ergibt; eine Zeile je Zutritt: Name, ein Tabulator und
      &quot;in sync&quot;, &quot;differs: &quot; mit den Abweichungen, NO CONNECTION oder FAILED.
      --mark markiert abweichende Zutritte als aktualisierungsbedürftig.
      Rückgabewert 0, wenn alle übereinstimmen, sonst 1.
  kelvara-cli check [--project DIR] [UMFANG wie bei run]
      Prüft, was die nächste Aktualisierung senden würde, gegen die Grenzen der
      Leser und die Regeln des Projekts; ein Block je Zutritt mit Problemen und
      eine Summenzeile. Rückgabewert 1, wenn sich ein Zutritt so nicht
      aktualisieren lässt.
</translation>
    </message>
    <message>
        <source>in sync</source>
        <translation>stimmt überein</translation>
    </message>
    <message>
        <source>differs: %1</source>
        <translation>weicht ab: %1</translation>
    </message>
    <message>
        <source>can be updated, but</source>
        <translation>lässt sich aktualisieren, aber</translation>
    </message>
    <message>
        <source>CANNOT BE UPDATED</source>
        <translation>LÄSST SICH NICHT AKTUALISIEREN</translation>
    </message>
    <message>
        <source>error: %1</source>
        <translation>Fehler: %1</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
    <message>
        <source>%1 entries checked: %2 cannot be updated, %3 with warnings, %4 without problems.</source>
        <translation>%1 Zutritte geprüft: %2 lassen sich nicht aktualisieren, %3 mit Warnungen, %4 ohne Probleme.</translation>
    </message>
    <message>
        <source>--at needs one date and time (yyyy-MM-ddTHH:mm).</source>
        <translation>--at braucht ein Datum mit Uhrzeit (yyyy-MM-ddTHH:mm).</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a date and time of the form yyyy-MM-ddTHH:mm.</source>
        <translation>„%1“ ist kein Datum mit Uhrzeit der Form yyyy-MM-ddTHH:mm.</translation>
    </message>
    <message>
        <source>explain needs --entry NAME.</source>
        <translation>explain braucht --entry NAME.</translation>
    </message>
    <message>
        <source>--user needs one name (&quot;LAST, FIRST&quot;).</source>
        <translation>--user braucht einen Namen („NAME, VORNAME“).</translation>
    </message>
    <message>
        <source>--identifier needs one hexadecimal identifier.</source>
        <translation>--identifier braucht eine hexadezimale Kennung.</translation>
    </message>
    <message>
        <source>explain needs either --user or --identifier.</source>
        <translation>explain braucht entweder --user oder --identifier.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a hexadecimal identifier.</source>
        <translation>„%1“ ist keine hexadezimale Kennung.</translation>
    </message>
    <message>
        <source>There is no user &apos;%1&apos;.</source>
        <translation>Es gibt keinen Benutzer „%1“.</translation>
    </message>
    <message>
        <source>Several users are called &apos;%1&apos;.</source>
        <translation>Mehrere Benutzer heißen „%1“.</translation>
    </message>
    <message>
        <source>Reader: its tables could not be read: %1</source>
        <translation>Leser: Seine Tabellen konnten nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>--entry needs one name.</source>
        <translation>--entry braucht einen Namen.</translation>
    </message>
    <message>
        <source>who needs either --entry or --user.</source>
        <translation>who braucht entweder --entry oder --user.</translation>
    </message>
    <message>
        <source>--jobs needs one number.</source>
        <translation>--jobs braucht eine Zahl.</translation>
    </message>
    <message>
        <source>--jobs takes a number from 1 to %1.</source>
        <translation>--jobs nimmt eine Zahl von 1 bis %1.</translation>
    </message>
    <message>
        <source>
Upgrade it with
  kelvara-cli upgrade --project &apos;%1&apos;
(a backup of the project folder is made first).</source>
        <translation>
Aktualisieren Sie es mit
  kelvara-cli upgrade --project &apos;%1&apos;
(zuerst wird eine Sicherung des Projektordners angelegt).</translation>
    </message>
    <message>
        <source>Upgraded &apos;%1&apos; from schema version %2 to %3.
Backup: %4
</source>
        <translation>&apos;%1&apos; wurde von Schemaversion %2 auf %3 aktualisiert.
Sicherung: %4
</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is already at schema version %2.
</source>
        <translation>&apos;%1&apos; hat bereits Schemaversion %2.
</translation>
    </message>
    <message>
        <source>time-zone takes at most one time zone.</source>
        <translation>time-zone nimmt höchstens eine Zeitzone.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no time zone known here (say Europe/Berlin, or computer for this computer&apos;s).</source>
        <translation>„%1“ ist hier keine bekannte Zeitzone (etwa Europe/Berlin, oder computer für die dieses Computers).</translation>
    </message>
    <message>
        <source>The project settings could not be saved.</source>
        <translation>Die Projekteinstellungen konnten nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>computer (%1)</source>
        <translation>computer (%1)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a regular file; only a file is imported.</source>
        <translation>„%1“ ist keine gewöhnliche Datei; importiert wird nur aus einer Datei.</translation>
    </message>
    <message>
        <source>%1 does not exist in the site&apos;s time zone %2: the clocks skip it when daylight saving time begins.</source>
        <translation>%1 gibt es in der Zeitzone %2 des Standorts nicht: Die Uhren überspringen diese Zeit, wenn die Sommerzeit beginnt.</translation>
    </message>
    <message>
        <source>--region and --year need one value each.</source>
        <translation>--region und --year brauchen je einen Wert.</translation>
    </message>
    <message>
        <source>holidays add-public needs --year.</source>
        <translation>holidays add-public braucht --year.</translation>
    </message>
    <message>
        <source>holidays add-public needs --region: none is remembered for this project yet.</source>
        <translation>holidays add-public braucht --region: für dieses Projekt ist noch keine Region gespeichert.</translation>
    </message>
    <message>
        <source>Unknown region &apos;%1&apos;; known regions: %2.</source>
        <translation>Unbekannte Region &apos;%1&apos;; bekannte Regionen: %2.</translation>
    </message>
    <message>
        <source>--year takes a year or a range of years from 2000 to 2099, such as 2027 or 2027-2028; &apos;%1&apos; is none.</source>
        <translation>--year nimmt ein Jahr oder eine Spanne von Jahren von 2000 bis 2099, etwa 2027 oder 2027-2028; &apos;%1&apos; ist keines.</translation>
    </message>
    <message>
        <source>would be added</source>
        <translation>käme hinzu</translation>
    </message>
    <message>
        <source>added</source>
        <translation>hinzugefügt</translation>
    </message>
    <message>
        <source>already a holiday</source>
        <translation>schon ein Feiertag</translation>
    </message>
    <message>
        <source>areas takes a subcommand: list, show or rename.</source>
        <translation>areas braucht einen Unterbefehl: list, show oder rename.</translation>
    </message>
    <message>
        <source>groups takes a subcommand: list, show or rename.</source>
        <translation>groups braucht einen Unterbefehl: list, show oder rename.</translation>
    </message>
    <message>
        <source>area</source>
        <translation>den Bereich</translation>
    </message>
    <message>
        <source>group</source>
        <translation>die Gruppe</translation>
    </message>
    <message>
        <source>new name</source>
        <translation>den neuen Namen</translation>
    </message>
    <message>
        <source>There is no area &apos;%1&apos;.</source>
        <translation>Es gibt keinen Bereich „%1“.</translation>
    </message>
    <message>
        <source>There is no group &apos;%1&apos;.</source>
        <translation>Es gibt keine Gruppe „%1“.</translation>
    </message>
    <message>
        <source>The area &apos;%1&apos; exists already: --merge joins the entries of &apos;%2&apos; to it.</source>
        <translation>Den Bereich „%1“ gibt es schon: --merge legt die Zutritte von „%2“ mit ihm zusammen.</translation>
    </message>
    <message>
        <source>The group &apos;%1&apos; exists already: --merge joins the users of &apos;%2&apos; to it.</source>
        <translation>Die Gruppe „%1“ gibt es schon: --merge legt die Benutzer von „%2“ mit ihr zusammen.</translation>
    </message>
    <message numerus="yes">
        <source>Area &apos;%1&apos; renamed to &apos;%2&apos; (%n entries).</source>
        <translation>
            <numerusform>Bereich „%1“ in „%2“ umbenannt (%n Zutritt).</numerusform>
            <numerusform>Bereich „%1“ in „%2“ umbenannt (%n Zutritte).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Group &apos;%1&apos; renamed to &apos;%2&apos; (%n users).</source>
        <translation>
            <numerusform>Gruppe „%1“ in „%2“ umbenannt (%n Benutzer).</numerusform>
            <numerusform>Gruppe „%1“ in „%2“ umbenannt (%n Benutzer).</numerusform>
        </translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Entries</source>
        <translation>Zutritte</translation>
    </message>
    <message>
        <source>Needing update</source>
        <translation>Aktualisierung nötig</translation>
    </message>
    <message>
        <source>Users</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>Zutritt</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Rechner</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Reader type</source>
        <translation>Lesertyp</translation>
    </message>
    <message>
        <source>Device ID</source>
        <translation>Geräte-ID</translation>
    </message>
    <message>
        <source>MAC address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>Reader settings</source>
        <translation>Lesereinstellungen</translation>
    </message>
    <message>
        <source>Needs update</source>
        <translation>Aktualisierung nötig</translation>
    </message>
    <message>
        <source>--settings: an entry without an access reader type has no reader settings.</source>
        <translation>--settings: Ein Zutritt ohne Typ eines Zutrittslesers hat keine Lesereinstellungen.</translation>
    </message>
    <message>
        <source>--settings: &apos;%1&apos; is not KEY=VALUE.</source>
        <translation>--settings: „%1“ hat nicht die Form SCHLÜSSEL=WERT.</translation>
    </message>
    <message>
        <source>--settings: %1 readers know no setting &apos;%2&apos;; they know %3.</source>
        <translation>--settings: Leser %1 kennen keine Einstellung „%2“; sie kennen %3.</translation>
    </message>
    <message>
        <source>--settings: ReaderType=%1 is not the entry&apos;s type %2.</source>
        <translation>--settings: ReaderType=%1 ist nicht der Typ %2 des Zutritts.</translation>
    </message>
    <message>
        <source>--settings: the reader takes no %1=%2.</source>
        <translation>--settings: Der Leser nimmt %1=%2 nicht an.</translation>
    </message>
    <message>
        <source>entries takes a subcommand: list, show, add, change or remove.</source>
        <translation>entries nimmt einen Unterbefehl: list, show, add, change oder remove.</translation>
    </message>
    <message>
        <source>entry</source>
        <translation>den Zutritt</translation>
    </message>
    <message>
        <source>Entry &apos;%1&apos; removed.</source>
        <translation>Zutritt „%1“ entfernt.</translation>
    </message>
    <message>
        <source>--connection takes tcp:ADDRESS:PORT, usb or flash-drive; &apos;%1&apos; is none.</source>
        <translation>--connection nimmt tcp:ADRESSE:PORT, usb oder flash-drive; „%1“ ist nichts davon.</translation>
    </message>
    <message>
        <source>--type takes TZ60, TZU700, TZU300 or none; &apos;%1&apos; is none.</source>
        <translation>--type nimmt TZ60, TZU700, TZU300 oder none; „%1“ ist nichts davon.</translation>
    </message>
    <message>
        <source>Entry &apos;%1&apos; added.</source>
        <translation>Zutritt „%1“ hinzugefügt.</translation>
    </message>
    <message>
        <source>Entry &apos;%1&apos; changed.</source>
        <translation>Zutritt „%1“ geändert.</translation>
    </message>
    <message>
        <source>date (yyyy-MM-dd)</source>
        <translation>das Datum (yyyy-MM-dd)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no date (yyyy-MM-dd) or range of dates (yyyy-MM-dd..yyyy-MM-dd).</source>
        <translation>„%1“ ist kein Datum (yyyy-MM-dd) und keine Spanne von Daten (yyyy-MM-dd..yyyy-MM-dd).</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no date (yyyy-MM-dd).</source>
        <translation>„%1“ ist kein Datum (yyyy-MM-dd).</translation>
    </message>
    <message>
        <source>--from: &apos;%1&apos; is no date (yyyy-MM-dd).</source>
        <translation>--from: „%1“ ist kein Datum (yyyy-MM-dd).</translation>
    </message>
    <message>
        <source>%1 is no holiday.</source>
        <translation>%1 ist kein Feiertag.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>%1 is a holiday already.</source>
        <translation>%1 ist bereits ein Feiertag.</translation>
    </message>
    <message numerus="yes">
        <source>%n holidays added.</source>
        <translation>
            <numerusform>%n Feiertag hinzugefügt.</numerusform>
            <numerusform>%n Feiertage hinzugefügt.</numerusform>
        </translation>
    </message>
    <message>
        <source>No day of %1 is a holiday.</source>
        <translation>Kein Tag von %1 ist ein Feiertag.</translation>
    </message>
    <message numerus="yes">
        <source>%n holidays removed.</source>
        <translation>
            <numerusform>%n Feiertag entfernt.</numerusform>
            <numerusform>%n Feiertage entfernt.</numerusform>
        </translation>
    </message>
    <message>
        <source>--date: &apos;%1&apos; is no date (yyyy-MM-dd).</source>
        <translation>--date: „%1“ ist kein Datum (yyyy-MM-dd).</translation>
    </message>
    <message>
        <source>Holiday %1 changed.</source>
        <translation>Feiertag %1 geändert.</translation>
    </message>
    <message>
        <source>holidays needs a subcommand: list, show, add, change, remove or add-public.</source>
        <translation>holidays braucht einen Unterbefehl: list, show, add, change, remove oder add-public.</translation>
    </message>
    <message>
        <source>models takes a subcommand: list, show, add, change or remove.</source>
        <translation>models nimmt einen Unterbefehl: list, show, add, change oder remove.</translation>
    </message>
    <message>
        <source>time model (its tag)</source>
        <translation>das Zeitmodell (sein Kürzel)</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Kürzel</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Definition</source>
        <translation>Definition</translation>
    </message>
    <message>
        <source>Periods</source>
        <translation>Zeiträume</translation>
    </message>
    <message>
        <source>Time model &apos;%1&apos; removed with its rights.</source>
        <translation>Zeitmodell „%1“ samt seinen Rechten entfernt.</translation>
    </message>
    <message>
        <source>--definition: %1</source>
        <translation>--definition: %1</translation>
    </message>
    <message>
        <source>--tag: %1</source>
        <translation>--tag: %1</translation>
    </message>
    <message>
        <source>--name: %1</source>
        <translation>--name: %1</translation>
    </message>
    <message>
        <source>--tag: a time model with the tag &apos;%1&apos; exists already.</source>
        <translation>--tag: Ein Zeitmodell mit dem Kürzel „%1“ gibt es schon.</translation>
    </message>
    <message>
        <source>--name: the time model &apos;%1&apos; is named &apos;%2&apos; already.</source>
        <translation>--name: Das Zeitmodell „%1“ heißt schon „%2“.</translation>
    </message>
    <message>
        <source>Time model &apos;%1&apos; added.</source>
        <translation>Zeitmodell „%1“ hinzugefügt.</translation>
    </message>
    <message>
        <source>Time model &apos;%1&apos; changed.</source>
        <translation>Zeitmodell „%1“ geändert.</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; does not read; see kelvara-cli project list for the values it takes.</source>
        <translation>%1: „%2“ lässt sich nicht lesen; welche Werte möglich sind, zeigt kelvara-cli project list.</translation>
    </message>
    <message>
        <source>project change needs a setting to change.</source>
        <translation>project change braucht eine Einstellung, die es ändern soll.</translation>
    </message>
    <message numerus="yes">
        <source>Project settings changed; the short range identifiers were widened to %n bytes.</source>
        <translation>
            <numerusform>Projekteinstellungen geändert; die Kennungen der Nahbereichstransponder wurden auf %n Byte verlängert.</numerusform>
            <numerusform>Projekteinstellungen geändert; die Kennungen der Nahbereichstransponder wurden auf %n Bytes verlängert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Project settings changed.</source>
        <translation>Projekteinstellungen geändert.</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Einstellung</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>There is no setting &apos;%1&apos;; see kelvara-cli project list.</source>
        <translation>Es gibt keine Einstellung „%1“; siehe kelvara-cli project list.</translation>
    </message>
    <message>
        <source>%1 needs one value.</source>
        <translation>%1 braucht einen Wert.</translation>
    </message>
    <message>
        <source>--format takes text, csv or json, not &apos;%1&apos;.</source>
        <translation>--format nimmt text, csv oder json, nicht „%1“.</translation>
    </message>
    <message>
        <source>Name the %1.</source>
        <translation>Nennen Sie %1.</translation>
    </message>
    <message>
        <source>The output could not be written.</source>
        <translation>Die Ausgabe ließ sich nicht schreiben.</translation>
    </message>
    <message numerus="yes">
        <source>%n entries need an update.</source>
        <translation>
            <numerusform>%n Zutritt braucht eine Aktualisierung.</numerusform>
            <numerusform>%n Zutritte brauchen eine Aktualisierung.</numerusform>
        </translation>
    </message>
    <message>
        <source>Several entries are named &apos;%1&apos;: give it as AREA/NAME.</source>
        <translation>Mehrere Zutritte heißen „%1“: Geben Sie ihn als BEREICH/NAME an.</translation>
    </message>
    <message>
        <source>There is no time model with the tag &apos;%1&apos;.</source>
        <translation>Es gibt kein Zeitmodell mit dem Kürzel „%1“.</translation>
    </message>
    <message>
        <source>rights takes a subcommand: list, set or remove.</source>
        <translation>rights nimmt einen Unterbefehl: list, set oder remove.</translation>
    </message>
    <message>
        <source>Name users by --user or --group, entries by --entry or --area.</source>
        <translation>Nennen Sie Benutzer mit --user oder --group, Zutritte mit --entry oder --area.</translation>
    </message>
    <message>
        <source>rights %1 needs --user or --group, and --entry or --area.</source>
        <translation>rights %1 braucht --user oder --group und --entry oder --area.</translation>
    </message>
    <message>
        <source>rights set needs --model TAG.</source>
        <translation>rights set braucht --model KÜRZEL.</translation>
    </message>
    <message>
        <source>Only rights set takes --model.</source>
        <translation>Nur rights set nimmt --model.</translation>
    </message>
    <message numerus="yes">
        <source>%n rights</source>
        <translation>
            <numerusform>%n Recht</numerusform>
            <numerusform>%n Rechte</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 set to the time model &apos;%2&apos;.</source>
        <translation>%1 auf das Zeitmodell „%2“ gesetzt.</translation>
    </message>
    <message>
        <source>%1 removed.</source>
        <translation>%1 entfernt.</translation>
    </message>
    <message>
        <source>Last name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>Time model</source>
        <translation>Zeitmodell</translation>
    </message>
    <message>
        <source>HF identifier</source>
        <translation>HF-Kennung</translation>
    </message>
    <message>
        <source>HF comment</source>
        <translation>HF-Kommentar</translation>
    </message>
    <message>
        <source>UHF identifier</source>
        <translation>UHF-Kennung</translation>
    </message>
    <message>
        <source>UHF comment</source>
        <translation>UHF-Kommentar</translation>
    </message>
    <message>
        <source>users needs a subcommand: list, show, add, change, remove or sync.</source>
        <translation>users braucht einen Unterbefehl: list, show, add, change, remove oder sync.</translation>
    </message>
    <message>
        <source>user (&quot;LAST, FIRST&quot;)</source>
        <translation>den Benutzer („NAME, VORNAME“)</translation>
    </message>
    <message>
        <source>User &apos;%1&apos; removed.</source>
        <translation>Benutzer „%1“ entfernt.</translation>
    </message>
    <message>
        <source>%1: the project uses no long range transponders.</source>
        <translation>%1: Das Projekt verwendet keine Fernbereichstransponder.</translation>
    </message>
    <message>
        <source>%1: the project uses no short range transponders.</source>
        <translation>%1: Das Projekt verwendet keine Nahbereichstransponder.</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; is no identifier: hexadecimal digits (0-9, A-F) only.</source>
        <translation>%1: „%2“ ist keine Kennung: nur hexadezimale Ziffern (0-9, A-F).</translation>
    </message>
    <message>
        <source>User &apos;%1&apos; added.</source>
        <translation>Benutzer „%1“ hinzugefügt.</translation>
    </message>
    <message>
        <source>User &apos;%1&apos; changed.</source>
        <translation>Benutzer „%1“ geändert.</translation>
    </message>
    <message>
        <source>users sync needs exactly one file.</source>
        <translation>users sync braucht genau eine Datei.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a regular file; only a file is read.</source>
        <translation>„%1“ ist keine gewöhnliche Datei; gelesen wird nur eine Datei.</translation>
    </message>
    <message>
        <source>Cannot open the file &apos;%1&apos;.</source>
        <translation>Die Datei „%1“ lässt sich nicht öffnen.</translation>
    </message>
    <message>
        <source>would add</source>
        <translation>käme hinzu</translation>
    </message>
    <message>
        <source>would change</source>
        <translation>würde geändert</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>would remove</source>
        <translation>würde entfernt</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>%1 users in the list: %2 to add, %3 to change, %4 to remove.</source>
        <translation>%1 Benutzer in der Liste: %2 hinzuzufügen, %3 zu ändern, %4 zu entfernen.</translation>
    </message>
    <message>
        <source>%1 users in the list: %2 added, %3 changed, %4 removed.</source>
        <translation>%1 Benutzer in der Liste: %2 hinzugefügt, %3 geändert, %4 entfernt.</translation>
    </message>
    <message>
        <source>history --verify checks the whole trail and takes no other option.</source>
        <translation>history --verify prüft den ganzen Verlauf und nimmt keine weitere Option.</translation>
    </message>
    <message>
        <source>--from: &apos;%1&apos; is no date (yyyy-MM-dd) or date and time (yyyy-MM-ddTHH:mm).</source>
        <translation>--from: „%1“ ist kein Datum (yyyy-MM-dd) und kein Datum mit Uhrzeit (yyyy-MM-ddTHH:mm).</translation>
    </message>
    <message>
        <source>--to: &apos;%1&apos; is no date (yyyy-MM-dd) or date and time (yyyy-MM-ddTHH:mm).</source>
        <translation>--to: „%1“ ist kein Datum (yyyy-MM-dd) und kein Datum mit Uhrzeit (yyyy-MM-ddTHH:mm).</translation>
    </message>
    <message>
        <source>The triggers that keep the trail from being changed are gone: %1.</source>
        <translation>Die Trigger, die den Verlauf vor Änderungen schützen, fehlen: %1.</translation>
    </message>
    <message numerus="yes">
        <source>The audit trail of %n records is intact.</source>
        <translation>
            <numerusform>Der Änderungsverlauf aus %n Eintrag ist unversehrt.</numerusform>
            <numerusform>Der Änderungsverlauf aus %n Einträgen ist unversehrt.</numerusform>
        </translation>
    </message>
    <message>
        <source>No.</source>
        <translation>Nr.</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bearbeiter</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Programm</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>Objekt</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Vorher</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Nachher</translation>
    </message>
    <message>
        <source>Reverses</source>
        <translation>Nimmt zurück</translation>
    </message>
    <message>
        <source>no right</source>
        <translation>kein Recht</translation>
    </message>
    <message>
        <source>Records (all take --project DIR; list and show take --format text|csv|json):
  kelvara-cli users list [--group NAME] | show &quot;LAST, FIRST&quot;
  kelvara-cli users add --last NAME --first NAME --group NAME [--comment TEXT]
          [--hf HEX] [--hf-comment TEXT] [--uhf HEX] [--uhf-comment TEXT]
  kelvara-cli users change &quot;LAST, FIRST&quot; [options of add] | remove &quot;LAST, FIRST&quot;
  kelvara-cli users sync FILE [--remove-missing] [--dry-run]
      Brings the users in line with a user list as export-users writes it:
      adds and changes users; with --remove-missing removes those it lacks.
  kelvara-cli entries list [--area NAME] | show NAME | remove NAME
  kelvara-cli entries add --area NAME --name NAME [--comment TEXT]
          [--connection tcp:ADDRESS:PORT | usb | flash-drive]
          [--type TZ60 | TZU700 | TZU300 | none] [--device-id HEX] [--mac MAC]
          [--settings KEY=VALUE;...]
  kelvara-cli entries change NAME [options of add]
  kelvara-cli areas list | show NAME | rename NAME NEW [--merge]
  kelvara-cli groups list | show NAME | rename NAME NEW [--merge]
  kelvara-cli models list | show TAG | remove TAG
  kelvara-cli models add --tag TAG --name NAME --definition DEFINITION
  kelvara-cli models change TAG [--tag TAG] [--name NAME] [--definition DEF]
      DEFINITION: periods joined by |, each DAYS-FROM-TO such as
      mon,tue,wed,thu,fri-07:00-19:00 (days sun mon tue wed thu fri sat hol).
  kelvara-cli holidays list [--from DATE] | show DATE
  kelvara-cli holidays add DATE[..DATE] [--comment TEXT] | remove DATE[..DATE]
  kelvara-cli holidays change DATE [--date DATE] [--comment TEXT]
  kelvara-cli rights list [--user &quot;LAST, FIRST&quot; | --group NAME]
          [--entry NAME | --area NAME]
  kelvara-cli rights set (--user &quot;LAST, FIRST&quot; | --group NAME)
          (--entry NAME | --area NAME) --model TAG
  kelvara-cli rights remove (--user ... | --group ...) (--entry ... | --area ...)
  kelvara-cli project list | show [SETTING] | change --SETTING VALUE...
      short-range, iso15693, long-range: on or off; hf-length, uhf-length:
      bytes; uhf-mask1 to uhf-mask3: hex or none; relay-hold-time: seconds;
      time-zone: ZONE or computer; keep-events: days events are kept
      (0 for ever).
A change marks the entries whose readers need an update, as the window does,
in one transaction. A list that comes out empty exits with 1; refused input
(an unknown name, a duplicate, a value that does not read) exits with 2 and
names the field.
</source>
        <translation>Datensätze (alle nehmen --project DIR; list und show nehmen --format text|csv|json):
  kelvara-cli users list [--group NAME] | show &quot;NAME, VORNAME&quot;
  kelvara-cli users add --last NAME --first VORNAME --group GRUPPE [--comment TEXT]
          [--hf HEX] [--hf-comment TEXT] [--uhf HEX] [--uhf-comment TEXT]
  kelvara-cli users change &quot;NAME, VORNAME&quot; [Optionen von add] | remove &quot;NAME, VORNAME&quot;
  kelvara-cli users sync DATEI [--remove-missing] [--dry-run]
      Bringt die Benutzer in Einklang mit einer Benutzerliste, wie export-users
      sie schreibt: fügt Benutzer hinzu und ändert sie; mit --remove-missing
      entfernt es die, die der Liste fehlen.
  kelvara-cli entries list [--area NAME] | show NAME | remove NAME
  kelvara-cli entries add --area BEREICH --name NAME [--comment TEXT]
          [--connection tcp:ADRESSE:PORT | usb | flash-drive]
          [--type TZ60 | TZU700 | TZU300 | none] [--device-id HEX] [--mac MAC]
          [--settings SCHLÜSSEL=WERT;...]
  kelvara-cli entries change NAME [Optionen von add]
  kelvara-cli areas list | show NAME | rename NAME NEU [--merge]
  kelvara-cli groups list | show NAME | rename NAME NEU [--merge]
  kelvara-cli models list | show KÜRZEL | remove KÜRZEL
  kelvara-cli models add --tag KÜRZEL --name NAME --definition DEFINITION
  kelvara-cli models change KÜRZEL [--tag KÜRZEL] [--name NAME] [--definition DEF]
      DEFINITION: Zeiträume, verbunden durch |, jeder TAGE-VON-BIS wie
      mon,tue,wed,thu,fri-07:00-19:00 (Tage sun mon tue wed thu fri sat hol).
  kelvara-cli holidays list [--from DATUM] | show DATUM
  kelvara-cli holidays add DATUM[..DATUM] [--comment TEXT] | remove DATUM[..DATUM]
  kelvara-cli holidays change DATUM [--date DATUM] [--comment TEXT]
  kelvara-cli rights list [--user &quot;NAME, VORNAME&quot; | --group GRUPPE]
          [--entry NAME | --area BEREICH]
  kelvara-cli rights set (--user &quot;NAME, VORNAME&quot; | --group GRUPPE)
          (--entry NAME | --area BEREICH) --model KÜRZEL
  kelvara-cli rights remove (--user ... | --group ...) (--entry ... | --area ...)
  kelvara-cli project list | show [EINSTELLUNG] | change --EINSTELLUNG WERT...
      short-range, iso15693, long-range: on oder off; hf-length, uhf-length:
      Bytes; uhf-mask1 bis uhf-mask3: hexadezimal oder none; relay-hold-time:
      Sekunden; time-zone: ZONE oder computer; keep-events: Tage, die Ereignisse
      bewahrt werden (0 unbegrenzt).
Eine Änderung markiert die Zutritte, deren Leser eine Aktualisierung brauchen,
wie das Fenster, in einer Transaktion. Eine Liste, die leer ausfällt, endet mit
1; abgewiesene Eingaben (ein unbekannter Name, ein Doppel, ein Wert, der sich
nicht lesen lässt) enden mit 2 und nennen das Feld.
</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a date (yyyy-MM-dd) or date and time (yyyy-MM-ddTHH:mm) from 2000 to 2099.</source>
        <translation>„%1“ ist kein Datum (yyyy-MM-dd) und kein Datum mit Uhrzeit (yyyy-MM-ddTHH:mm) von 2000 bis 2099.</translation>
    </message>
    <message>
        <source>Give one of --granted, --denied and --unknown.</source>
        <translation>Geben Sie eines von --granted, --denied und --unknown an.</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Antenna</source>
        <translation>Antenne</translation>
    </message>
    <message>
        <source>seen needs --area NAME.</source>
        <translation>seen braucht --area NAME.</translation>
    </message>
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
          [--only-pending] [--allow-empty] [--drive DIR] [--prepare-drive]
          [--jobs N]
      Runs a reader function over the chosen entries (default --all) and prints
      the log lines, then one line per entry: name, a tab and OK, NO CONNECTION
      or FAILED. FUNCTION is one of update, read-access, import-transponders,
      read-events, set-clock, write-config. --only-pending keeps the entries
      that need an update (with --all, --area and --entry). --drive names the
      root folder of the USB flash drive; --prepare-drive empties it for a new
      configuration first. --jobs serves up to N readers (1 to 32) at the same
      time (default: the general setting, 4 unless changed); each entry&apos;s log
      lines are printed as one block when it ends. An interrupt (Ctrl+C) or
      termination signal lets the entries in progress finish; entries not
      started show NOT RUN. A second one ends the program at once.
      --allow-empty exits with 0 when no entry is chosen (a nightly update
      with nothing pending).
      update first reads and keeps each reader&apos;s events, which new tables
      delete; when that fails nothing is sent to that reader (general
      setting ReadEventsFirst, on unless switched off).
  kelvara-cli export-users [--project DIR] FILE
      Writes all users into a semicolon-separated list.
  kelvara-cli import-users [--project DIR] FILE
      Reads users from a list whose header names the standard columns.
      An interrupt or termination signal stops it with nothing imported.
      Exit status 1 when a line or an identifier was left out (each one is
      named with its line) or nothing was imported.
  kelvara-cli time-zone [--project DIR] [ZONE | computer]
      Prints the time zone of the site, or sets it (an IANA name such as
      Europe/Berlin; computer: this computer&apos;s, the default). Reader clocks
      are set to it, and --at and event times are times of the site.
  kelvara-cli explain [--project DIR] --entry NAME
          (--user &quot;LAST, FIRST&quot; | --identifier HEX) [--at yyyy-MM-ddTHH:mm]
          [--reader]
      Decides as the entry&apos;s reader will (now, or at the moment given) and
      prints the decision and its reasons, one per line. HEX is what the
      reader reads (for long-range readers the EPC). --reader also reads the
      reader&apos;s own tables back and shows its decision beside the database&apos;s.
      Exit status 0 permitted, 1 denied (by the reader with --reader).
  kelvara-cli who [--project DIR] (--entry NAME | --user &quot;LAST, FIRST&quot;)
          [--at yyyy-MM-ddTHH:mm]
      Lists the users who may pass the entry then, or the entries (area and
      entry) the user may pass then. Exit status 1 when the list is empty.
  kelvara-cli events [--project DIR] [--from T] [--to T] [--area NAME]
          [--entry NAME] [--user &quot;LAST, FIRST&quot;] [--identifier HEX]
          [--granted | --denied | --unknown] [--format text|csv|json]
      Lists the events kept from the readers, newest first. T is
      yyyy-MM-dd or yyyy-MM-ddTHH:mm (the site&apos;s clock); a date alone as --to
      takes the whole day. --unknown: identifiers no user held. Exit status 1
      when no event matches.
  kelvara-cli seen [--project DIR] --area NAME [--since T]
          [--format text|csv|json]
      Users let in at an entry of the area since T (default: today 00:00),
      each with the last entry and time. Exit status 1 when nobody was.
  kelvara-cli holidays add-public [--project DIR] [--region CODE]
          --year YEAR[-YEAR] [--dry-run]
      Adds the public holidays of a region (DE, DE-BY, AT, CH, CH-ZH, ...) in
      the years (2000 to 2099) that are no holidays yet, in one step, and
      marks the entries for an update. Without --region the region used last
      for the project. --dry-run only prints what would be added. Refused
      (exit status 1) when the readers&apos; 255 holidays would be passed.
  kelvara-cli history [--project DIR] [--from T] [--to T]
          [--user &quot;LAST, FIRST&quot;] [--entry NAME] [--operator NAME]
          [--format text|csv|json] | --verify
      Lists the audit trail, newest first: who changed what and when, with
      the values before and after. T is yyyy-MM-dd or yyyy-MM-ddTHH:mm in this
      computer&apos;s time (a date alone takes the whole day); --operator takes an
      account or account@host. With --user and --entry a change of rights
      shows that right&apos;s time models. --verify checks the chain of record
      hashes and names the first record that was changed, removed or moved.
      Exit status 1 when nothing is found or the trail is broken.
  kelvara-cli upgrade [--project DIR]
      Upgrades a project made by an older version of the program: writes a
      backup of the project folder beside it (DIR-schemaN-DATE-TIME.zip; for a
      server project a folder project DIR-schemaN-DATE-TIME with every row),
      then carries the database forward in one transaction (on a server: as
      an administrator, with the project locked). Other commands refuse
      such a project. Exit status 0 upgraded or already current, 1 failed or
      in use (nothing changed), 2 refused (not a project, made by a newer
      version, damaged, or on a disk that cannot be written).
  kelvara-cli paths
      Prints the settings file, the application data folder, the manual
      folder and the tools folder as this installation resolves them.
  kelvara-cli --help
      Shows this text.
An entry NAME may be given as AREA/NAME.
Without --project the current project of the application settings is used.
Exit status: 0 success; 1 a failed entry or operation, or a project in use
by another program; 2 a usage error, a folder that is not a project, or no
entries.
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
          [--only-pending] [--allow-empty] [--drive DIR] [--prepare-drive]
          [--jobs N]
      Führt eine Leserfunktion für die gewählten Zutritte aus (Vorgabe --all), gibt
      die Protokollzeilen aus und danach je Zutritt eine Zeile: Name, Tabulator und
      OK, NO CONNECTION oder FAILED. FUNCTION ist update, read-access,
      import-transponders, read-events, set-clock oder write-config. --only-pending
      behält die Zutritte, die eine Aktualisierung brauchen (mit --all, --area und
      --entry). --drive nennt den Stammordner des USB-Sticks; --prepare-drive leert
      ihn zuvor für eine neue Konfiguration. --jobs bedient bis zu N Leser (1 bis 32)
      zugleich (Vorgabe: die allgemeine Einstellung, sonst 4); die Protokollzeilen
      jedes Zutritts erscheinen als ein Block, wenn er endet. Ein Abbruch (Strg+C)
      oder ein Beendigungssignal lässt die laufenden Zutritte zu Ende laufen; nicht
      begonnene Zutritte zeigen NOT RUN. Ein zweites beendet das Programm sofort.
      --allow-empty endet mit 0, wenn kein Zutritt gewählt ist (eine nächtliche
      Aktualisierung ohne ausstehende Zutritte).
      update liest und bewahrt zuerst die Ereignisse jedes Lesers, die neue
      Tabellen löschen; misslingt das, wird an diesen Leser nichts gesendet
      (allgemeine Einstellung ReadEventsFirst, an, außer sie wurde abgeschaltet).
  kelvara-cli export-users [--project DIR] DATEI
      Schreibt alle Benutzer in eine durch Semikolons getrennte Liste.
  kelvara-cli import-users [--project DIR] DATEI
      Liest Benutzer aus einer Liste, deren Kopfzeile die Standardspalten nennt.
      Ein Abbruch oder Beendigungssignal hält es an; dann wird nichts importiert.
      Rückgabewert 1, wenn eine Zeile oder eine Kennung ausgelassen wurde (jede
      wird mit ihrer Zeile genannt) oder nichts importiert wurde.
  kelvara-cli time-zone [--project DIR] [ZONE | computer]
      Gibt die Zeitzone des Standorts aus oder setzt sie (ein IANA-Name wie
      Europe/Berlin; computer: die dieses Computers, die Vorgabe). Die Uhren der
      Leser werden danach gestellt, und --at und Ereigniszeiten sind Zeiten des
      Standorts.
  kelvara-cli explain [--project DIR] --entry NAME
          (--user &quot;NAME, VORNAME&quot; | --identifier HEX) [--at yyyy-MM-ddTHH:mm]
          [--reader]
      Entscheidet wie der Leser des Zutritts (jetzt oder zum angegebenen Zeitpunkt)
      und gibt die Entscheidung und ihre Gründe aus, einen je Zeile. HEX ist, was
      der Leser liest (bei UHF-Lesern der EPC). --reader liest zusätzlich die
      Tabellen des Lesers zurück und zeigt seine Entscheidung neben der der Datenbank.
      Rückgabewert 0 erlaubt, 1 verweigert (mit --reader: durch den Leser).
  kelvara-cli who [--project DIR] (--entry NAME | --user &quot;NAME, VORNAME&quot;)
          [--at yyyy-MM-ddTHH:mm]
      Listet die Benutzer, die den Zutritt dann passieren dürfen, oder die Zutritte
      (Bereich und Zutritt), die der Benutzer dann passieren darf. Rückgabewert 1,
      wenn die Liste leer ist.
  kelvara-cli events [--project DIR] [--from T] [--to T] [--area NAME]
          [--entry NAME] [--user &quot;NAME, VORNAME&quot;] [--identifier HEX]
          [--granted | --denied | --unknown] [--format text|csv|json]
      Listet die aus den Lesern bewahrten Ereignisse, die neuesten zuerst. T ist
      yyyy-MM-dd oder yyyy-MM-ddTHH:mm (die Uhr des Standorts); ein Datum allein
      bei --to nimmt den ganzen Tag. --unknown: Kennungen, die kein Benutzer
      hatte. Rückgabewert 1, wenn kein Ereignis passt.
  kelvara-cli seen [--project DIR] --area NAME [--since T]
          [--format text|csv|json]
      Benutzer, die seit T (Vorgabe: heute 00:00) an einem Zutritt des Bereichs
      eingelassen wurden, jeweils mit dem letzten Zutritt und der Zeit.
      Rückgabewert 1, wenn es niemand war.
  kelvara-cli holidays add-public [--project DIR] [--region KÜRZEL]
          --year JAHR[-JAHR] [--dry-run]
      Fügt die gesetzlichen Feiertage einer Region (DE, DE-BY, AT, CH, CH-ZH, ...)
      in den Jahren (2000 bis 2099) hinzu, die noch keine Feiertage sind, in einem
      Schritt, und markiert die Zutritte für eine Aktualisierung. Ohne --region gilt
      die zuletzt für das Projekt verwendete Region. --dry-run gibt nur aus, was
      hinzukäme. Abgewiesen (Rückgabewert 1), wenn die 255 Feiertage der Leser
      überschritten würden.
  kelvara-cli history [--project DIR] [--from T] [--to T]
          [--user &quot;NAME, VORNAME&quot;] [--entry NAME] [--operator NAME]
          [--format text|csv|json] | --verify
      Listet den Änderungsverlauf, das Neueste zuerst: wer was wann geändert
      hat, mit den Werten davor und danach. T ist yyyy-MM-dd oder
      yyyy-MM-ddTHH:mm in der Zeit dieses Computers (ein Datum allein nimmt den
      ganzen Tag); --operator nimmt ein Konto oder Konto@Rechner. Mit --user und
      --entry zeigt eine Änderung von Rechten die Zeitmodelle dieses Rechts.
      --verify prüft die Kette der Prüfsummen und nennt den ersten Eintrag, der
      geändert, entfernt oder verschoben wurde.
      Rückgabewert 1, wenn nichts gefunden wird oder der Verlauf gebrochen ist.
  kelvara-cli upgrade [--project DIR]
      Aktualisiert ein Projekt, das eine ältere Version des Programms angelegt hat:
      schreibt eine Sicherung des Projektordners daneben (DIR-schemaN-DATUM-ZEIT.zip;
      bei einem Serverprojekt ein Ordnerprojekt DIR-schemaN-DATUM-ZEIT mit jeder
      Zeile) und führt die Datenbank dann in einer Transaktion weiter (auf einem
      Server: als Verwalter, mit gesperrtem Projekt). Andere Befehle
      weisen ein solches Projekt ab. Rückgabewert 0 aktualisiert oder schon aktuell,
      1 fehlgeschlagen oder belegt (nichts geändert), 2 abgewiesen (kein Projekt,
      von einer neueren Version angelegt, beschädigt oder auf einem nicht
      beschreibbaren Datenträger).
  kelvara-cli paths
      Gibt die Einstellungsdatei, den Anwendungsdatenordner, den Handbuchordner
      und den Werkzeugordner aus, wie diese Installation sie auflöst.
  kelvara-cli --help
      Zeigt diesen Text.
Ein Zutritt NAME kann als BEREICH/NAME angegeben werden.
Ohne --project wird das aktuelle Projekt der Anwendungseinstellungen verwendet.
Rückgabewert: 0 Erfolg; 1 ein fehlgeschlagener Zutritt oder Vorgang oder ein
Projekt, das ein anderes Programm verwendet; 2 ein Aufruffehler, ein Ordner, der
kein Projekt ist, oder keine Zutritte.
</translation>
    </message>
    <message>
        <source>Server projects (SERVER: --host HOST [--port PORT] --db NAME [--user NAME]
[--sslmode disable|allow|prefer|require|verify-ca|verify-full]; passwords come
from ~/.pgpass or PGPASSWORD, never from the command line):
  kelvara-cli server init SERVER [--project DIR]
      Sets up a new project in an empty database: the schema, the settings of
      a new project and the roles kelvara_administrator, kelvara_operator and
      kelvara_viewer with their grants, all or nothing. A database with tables
      is refused (exit status 2). --project writes a project folder (DIR must
      not exist) that the window and every command open.
  kelvara-cli server connect SERVER --project DIR
      Writes a project folder for a project already on the server: how a
      further workstation opens it.
  kelvara-cli server add-operator NAME --role administrator|operator|viewer
          [--project DIR] [--password-stdin]
      Makes NAME a login role of the group, or moves it there. Without
      --password-stdin no password is set (the server&apos;s own sign-in rules
      apply); with it the first line of standard input is the password.
  kelvara-cli project copy DIR --to-server SERVER [--project NEWDIR]
  kelvara-cli project copy DIR --to-folder NEWDIR
      Copies every row of the project, keys and all, into an empty database
      or a new folder project, in one transaction, then compares row counts
      and content hashes table by table and prints them. On any difference
      nothing is left at the target (exit status 1). The project must be at
      this program&apos;s schema version (upgrade it first).
</source>
        <translation>Serverprojekte (SERVER: --host HOST [--port PORT] --db NAME [--user NAME]
[--sslmode disable|allow|prefer|require|verify-ca|verify-full]; Passwörter kommen
aus ~/.pgpass oder PGPASSWORD, nie von der Kommandozeile):
  kelvara-cli server init SERVER [--project DIR]
      Richtet ein neues Projekt in einer leeren Datenbank ein: das Schema, die
      Einstellungen eines neuen Projekts und die Rollen kelvara_administrator,
      kelvara_operator und kelvara_viewer mit ihren Rechten, ganz oder gar nicht.
      Eine Datenbank mit Tabellen wird abgewiesen (Rückgabewert 2). --project
      schreibt einen Projektordner (DIR darf noch nicht bestehen), den das
      Fenster und jeder Befehl öffnen.
  kelvara-cli server connect SERVER --project DIR
      Schreibt einen Projektordner für ein Projekt, das schon auf dem Server
      liegt: So öffnet ein weiterer Arbeitsplatz es.
  kelvara-cli server add-operator NAME --role administrator|operator|viewer
          [--project DIR] [--password-stdin]
      Macht NAME zu einer Anmelderolle der Gruppe oder verschiebt sie dorthin.
      Ohne --password-stdin wird kein Passwort gesetzt (es gelten die
      Anmelderegeln des Servers); damit ist die erste Zeile der Standardeingabe
      das Passwort.
  kelvara-cli project copy DIR --to-server SERVER [--project NEWDIR]
  kelvara-cli project copy DIR --to-folder NEWDIR
      Kopiert jede Zeile des Projekts samt Schlüsseln in eine leere Datenbank
      oder ein neues Ordnerprojekt, in einer Transaktion, vergleicht dann
      Zeilenzahlen und Inhaltsprüfsummen Tabelle für Tabelle und gibt sie aus.
      Bei jeder Abweichung bleibt am Ziel nichts zurück (Rückgabewert 1). Das
      Projekt muss die Schemaversion dieses Programms haben (vorher
      aktualisieren).
</translation>
    </message>
    <message>
        <source>Upgraded &apos;%1&apos; from schema version %2 to %3.
Backup (a folder project with every row of the server project): %4
</source>
        <translation>&apos;%1&apos; wurde von Schemaversion %2 auf %3 aktualisiert.
Sicherung (ein Ordnerprojekt mit jeder Zeile des Serverprojekts): %4
</translation>
    </message>
    <message>
        <source>project takes a subcommand: list, show, change or copy.</source>
        <translation>project nimmt einen Unterbefehl: list, show, change oder copy.</translation>
    </message>
    <message>
        <source>The server needs --host and --db.</source>
        <translation>Der Server braucht --host und --db.</translation>
    </message>
    <message>
        <source>--port: &apos;%1&apos; is no port number (1 to 65535).</source>
        <translation>--port: &apos;%1&apos; ist keine Portnummer (1 bis 65535).</translation>
    </message>
    <message>
        <source>--sslmode: &apos;%1&apos; is none of %2.</source>
        <translation>--sslmode: &apos;%1&apos; ist keiner von %2.</translation>
    </message>
    <message>
        <source>server takes a subcommand: init, connect or add-operator.</source>
        <translation>server nimmt einen Unterbefehl: init, connect oder add-operator.</translation>
    </message>
    <message>
        <source>server connect needs --project DIR.</source>
        <translation>server connect braucht --project DIR.</translation>
    </message>
    <message>
        <source>The database %1 holds no project; set one up with kelvara-cli server init.</source>
        <translation>Die Datenbank %1 enthält kein Projekt; richten Sie eines mit kelvara-cli server init ein.</translation>
    </message>
    <message>
        <source>Project folder: %1</source>
        <translation>Projektordner: %1</translation>
    </message>
    <message>
        <source>The database %1 is not empty (it has tables); server init sets up an empty database only.</source>
        <translation>Die Datenbank %1 ist nicht leer (sie hat Tabellen); server init richtet nur eine leere Datenbank ein.</translation>
    </message>
    <message>
        <source>The server project could not be set up; nothing was left behind: %1</source>
        <translation>Das Serverprojekt konnte nicht eingerichtet werden; es blieb nichts zurück: %1</translation>
    </message>
    <message>
        <source>Project created in %1 (schema version %2) with the roles %3, %4 and %5.</source>
        <translation>Projekt in %1 angelegt (Schemaversion %2) mit den Rollen %3, %4 und %5.</translation>
    </message>
    <message>
        <source>operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>--role must be administrator, operator or viewer.</source>
        <translation>--role muss administrator, operator oder viewer sein.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no server project: operators are roles on a database server.</source>
        <translation>&apos;%1&apos; ist kein Serverprojekt: Bediener sind Rollen auf einem Datenbankserver.</translation>
    </message>
    <message>
        <source>Standard input cannot be read.</source>
        <translation>Die Standardeingabe kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>--password-stdin: standard input holds no password.</source>
        <translation>--password-stdin: Die Standardeingabe enthält kein Passwort.</translation>
    </message>
    <message>
        <source>%1 is now %2 of the project (password: %3).</source>
        <translation>%1 ist jetzt %2 des Projekts (Passwort: %3).</translation>
    </message>
    <message>
        <source>set</source>
        <translation>gesetzt</translation>
    </message>
    <message>
        <source>project copy needs either --to-server or --to-folder DIR.</source>
        <translation>project copy braucht entweder --to-server oder --to-folder DIR.</translation>
    </message>
    <message>
        <source>project folder</source>
        <translation>Projektordner</translation>
    </message>
    <message>
        <source>equal</source>
        <translation>gleich</translation>
    </message>
    <message>
        <source>DIFFERS</source>
        <translation>WEICHT AB</translation>
    </message>
    <message>
        <source>Copied to %1; every table arrived complete.</source>
        <translation>Nach %1 kopiert; jede Tabelle kam vollständig an.</translation>
    </message>
    <message>
        <source>%1
Nothing was left at the target.</source>
        <translation>%1
Am Ziel blieb nichts zurück.</translation>
    </message>
    <message>
        <source>not set</source>
        <translation>nicht gesetzt</translation>
    </message>
</context>
<context>
    <name>KelvaraDoors</name>
    <message>
        <source>Entries</source>
        <translation>Zutritte</translation>
    </message>
    <message>
        <source>Area, Entry</source>
        <translation>Bereich, Zutritt</translation>
    </message>
    <message>
        <source>IP-Address, Port</source>
        <translation>IP-Adresse, Port</translation>
    </message>
    <message>
        <source>Reader Typ, ID</source>
        <translation>Lesertyp, ID</translation>
    </message>
    <message>
        <source>MAC-Address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>Open data path</source>
        <translation>Datenordner öffnen</translation>
    </message>
    <message>
        <source>Open log path</source>
        <translation>Protokollordner öffnen</translation>
    </message>
    <message>
        <source>Reset CPU</source>
        <translation>CPU zurücksetzen</translation>
    </message>
    <message>
        <source>Reset Anti-Passback</source>
        <translation>Anti-Passback zurücksetzen</translation>
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
        <source>Entry Comment</source>
        <translation>Kommentar zum Zutritt</translation>
    </message>
    <message>
        <source>Reader Connect</source>
        <translation>Leserverbindung</translation>
    </message>
    <message>
        <source>Reader Typ</source>
        <translation>Lesertyp</translation>
    </message>
    <message>
        <source>Reader Device ID</source>
        <translation>Geräte-ID des Lesers</translation>
    </message>
    <message>
        <source>Reader MAC Address</source>
        <translation>MAC-Adresse des Lesers</translation>
    </message>
    <message>
        <source>DB open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>DB entry list</source>
        <translation>DB Zutrittsliste</translation>
    </message>
    <message>
        <source>Remove entry</source>
        <translation>Zutritt entfernen</translation>
    </message>
    <message>
        <source>Do you really want to remove the selected entries?</source>
        <translation>Wollen Sie die ausgewählten Zutritte wirklich entfernen?</translation>
    </message>
    <message>
        <source>DB remove entry</source>
        <translation>DB Zutritt entfernen</translation>
    </message>
    <message>
        <source>Open path</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>The path

%1

is a link; it is not opened.</source>
        <translation>Der Ordner

%1

ist ein Verweis; er wird nicht geöffnet.</translation>
    </message>
    <message>
        <source>Unsupported reader type</source>
        <translation>Nicht unterstützter Lesertyp</translation>
    </message>
    <message>
        <source>Add entry</source>
        <translation>Zutritt hinzufügen</translation>
    </message>
    <message>
        <source>Edit selected entry</source>
        <translation>Ausgewählten Zutritt bearbeiten</translation>
    </message>
    <message>
        <source>Remove selected entries</source>
        <translation>Ausgewählte Zutritte entfernen</translation>
    </message>
    <message>
        <source>Choose the sorting order</source>
        <translation>Sortierreihenfolge wählen</translation>
    </message>
    <message>
        <source>The entry administration distinguishes between logical and physical information:

Logical information is the area and the name of an entry (a door, gate or barrier) and an optional comment. The combination of area and entry name must be unique.

Physical information is the access reader that controls the entry: how it is reached (LAN, USB cable or USB flash drive), its type, device ID, MAC address and its settings.

A right click on an entry opens its data and log folders, restarts its reader or resets the anti-passback state of a long range reader.</source>
        <translation>Die Zutrittsverwaltung unterscheidet logische und physische Angaben:

Logische Angaben sind der Bereich und der Name eines Zutritts (einer Tür, eines Tors oder einer Schranke) und ein optionaler Kommentar. Die Kombination aus Bereich und Zutrittsname muss eindeutig sein.

Physische Angaben beschreiben den Zutrittsleser, der den Zutritt steuert: wie er erreicht wird (LAN, USB-Kabel oder USB-Stick), seinen Typ, seine Geräte-ID, MAC-Adresse und seine Einstellungen.

Ein Rechtsklick auf einen Zutritt öffnet seine Daten- und Protokollordner, startet seinen Leser neu oder setzt den Anti-Passback-Zustand eines Fernbereichslesers zurück.</translation>
    </message>
</context>
<context>
    <name>KelvaraEditDate</name>
    <message>
        <source>Add Holiday Date</source>
        <translation>Feiertag hinzufügen</translation>
    </message>
    <message>
        <source>Several days, up to</source>
        <translation>Mehrere Tage, bis</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Edit Holiday Date</source>
        <translation>Feiertag bearbeiten</translation>
    </message>
    <message>
        <source>The last day lies before the first day.</source>
        <translation>Der letzte Tag liegt vor dem ersten Tag.</translation>
    </message>
    <message>
        <source>%1 days: %2 to %3</source>
        <translation>%1 Tage: %2 bis %3</translation>
    </message>
    <message>
        <source>Missing information</source>
        <translation>Fehlende Angaben</translation>
    </message>
    <message>
        <source>DB add holiday</source>
        <translation>DB Feiertag hinzufügen</translation>
    </message>
    <message>
        <source>%1 is a holiday already.</source>
        <translation>%1 ist bereits ein Feiertag.</translation>
    </message>
    <message>
        <source>Every one of these days is a holiday already.</source>
        <translation>Jeder dieser Tage ist bereits ein Feiertag.</translation>
    </message>
    <message>
        <source>These days are holidays already:
%1

Add the other %2 days?</source>
        <translation>Diese Tage sind bereits Feiertage:
%1

Die übrigen %2 Tage hinzufügen?</translation>
    </message>
    <message>
        <source>DB edit holiday</source>
        <translation>DB Feiertag bearbeiten</translation>
    </message>
    <message>
        <source>Select the date of the holiday.</source>
        <translation>Wählen Sie das Datum des Feiertags.</translation>
    </message>
    <message>
        <source>Add every day from the selected date up to this day, for example a company closure. Each day becomes a holiday of its own.</source>
        <translation>Fügt jeden Tag vom gewählten Datum bis zu diesem Tag hinzu, zum Beispiel für Betriebsferien. Jeder Tag wird ein eigener Feiertag.</translation>
    </message>
    <message>
        <source>The last day of the closure.</source>
        <translation>Der letzte Tag der Schließung.</translation>
    </message>
    <message>
        <source>A comment on the holiday, for example its name.</source>
        <translation>Ein Kommentar zum Feiertag, zum Beispiel sein Name.</translation>
    </message>
    <message>
        <source>Select today&apos;s date.</source>
        <translation>Wählt das heutige Datum.</translation>
    </message>
</context>
<context>
    <name>KelvaraEditDoor</name>
    <message>
        <source>Add Entry</source>
        <translation>Zutritt hinzufügen</translation>
    </message>
    <message>
        <source>Edit Entry</source>
        <translation>Zutritt bearbeiten</translation>
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
        <source>Additional Entry Comment</source>
        <translation>Zusätzlicher Kommentar zum Zutritt</translation>
    </message>
    <message>
        <source>Access Reader</source>
        <translation>Zutrittsleser</translation>
    </message>
    <message>
        <source>Select Reader</source>
        <translation>Leser auswählen</translation>
    </message>
    <message>
        <source>Reader Info</source>
        <translation>Leser-Info</translation>
    </message>
    <message>
        <source>USB Flash Drive</source>
        <translation>USB-Stick</translation>
    </message>
    <message>
        <source>Reader Connect</source>
        <translation>Leserverbindung</translation>
    </message>
    <message>
        <source>Reader Type</source>
        <translation>Lesertyp</translation>
    </message>
    <message>
        <source>Reader Device-ID</source>
        <translation>Geräte-ID des Lesers</translation>
    </message>
    <message>
        <source>Reader MAC-Address</source>
        <translation>MAC-Adresse des Lesers</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>Firmware-Version</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Device ID mismatch</source>
        <translation>Geräte-ID stimmt nicht überein</translation>
    </message>
    <message>
        <source>The device ID of the selected reader is different 
to the database reader notation.

Do you want to use this new reader instead?</source>
        <translation>Die Geräte-ID des ausgewählten Lesers weicht 
von der in der Datenbank gespeicherten ab.

Wollen Sie stattdessen diesen neuen Leser verwenden?</translation>
    </message>
    <message>
        <source>Unsupported reader type</source>
        <translation>Nicht unterstützter Lesertyp</translation>
    </message>
    <message>
        <source>Reader has internal relay</source>
        <translation>Leser hat ein internes Relais</translation>
    </message>
    <message>
        <source>PQ.I/O board is paired</source>
        <translation>PQ.I/O-Platine ist gekoppelt</translation>
    </message>
    <message>
        <source>PQ.I/O board is not paired</source>
        <translation>PQ.I/O-Platine ist nicht gekoppelt</translation>
    </message>
    <message>
        <source>Missing information</source>
        <translation>Fehlende Angaben</translation>
    </message>
    <message>
        <source>Invalid input</source>
        <translation>Ungültige Eingabe</translation>
    </message>
    <message>
        <source>DB add entry</source>
        <translation>DB Zutritt hinzufügen</translation>
    </message>
    <message>
        <source>DB edit entry</source>
        <translation>DB Zutritt bearbeiten</translation>
    </message>
    <message>
        <source>DB open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>The entry and its settings are saved. The reader configuration can be written later (Settings menu, &quot;Reconfigure ... Reader&quot;).</source>
        <translation>Der Zutritt und seine Einstellungen sind gespeichert. Die Leserkonfiguration lässt sich später schreiben (Menü Einstellungen, &quot;... neu konfigurieren&quot;).</translation>
    </message>
    <message>
        <source>Reader Configuration</source>
        <translation>Leserkonfiguration</translation>
    </message>
    <message>
        <source>Do you want to save the configuration to an USB stick?

(In case of &apos;No&apos; you can perform that later.
All settings will be stored in the project database.)</source>
        <translation>Wollen Sie die Konfiguration auf einem USB-Stick speichern?

(Bei &apos;Nein&apos; können Sie das später nachholen.
Alle Einstellungen werden in der Projektdatenbank gespeichert.)</translation>
    </message>
    <message>
        <source>Save reader configuration</source>
        <translation>Leserkonfiguration speichern</translation>
    </message>
    <message>
        <source>Now the reader will be configured.
We begin with resetting to factory settings.
Then your configuration parameters will be set.
Finally a reader CPU reset is performed.

Do you want to continue?

(In case of &apos;No&apos; you can perform the reader 
configuration later. All settings will be stored 
in the project database.)</source>
        <translation>Jetzt wird der Leser konfiguriert.
Zuerst wird er auf Werkseinstellungen zurückgesetzt.
Dann werden Ihre Konfigurationsparameter gesetzt.
Zum Schluss wird die CPU des Lesers zurückgesetzt.

Wollen Sie fortfahren?

(Bei &apos;Nein&apos; können Sie die Leserkonfiguration 
später durchführen. Alle Einstellungen werden 
in der Projektdatenbank gespeichert.)</translation>
    </message>
    <message>
        <source>The reader at %1 is a %2 with the device ID %3,
but the entry names a %4 with the device ID %5.

The configuration was not written. Please select the reader again.</source>
        <translation>Der Leser unter %1 ist ein %2 mit der Geräte-ID %3,
der Zutritt nennt aber einen %4 mit der Geräte-ID %5.

Die Konfiguration wurde nicht geschrieben. Bitte wählen Sie den Leser erneut aus.</translation>
    </message>
    <message>
        <source>Write reader configuration</source>
        <translation>Leserkonfiguration schreiben</translation>
    </message>
    <message>
        <source>Input the area of the entry
(A building, a floor, a site, ...).
Combinations of area and entry names must be unique!</source>
        <translation>Geben Sie den Bereich des Zutritts ein
(Ein Gebäude, ein Stockwerk, ein Gelände, ...).
Kombinationen aus Bereichs- und Zutrittsnamen müssen eindeutig sein!</translation>
    </message>
    <message>
        <source>Choose an already existing area name.</source>
        <translation>Einen vorhandenen Bereichsnamen auswählen.</translation>
    </message>
    <message>
        <source>Input the name of the entry (door, gate, barrier, ...).
It also names the entry&apos;s log and data folders, so it must not contain &apos;/&apos; or &apos;\&apos; nor begin with a dot.</source>
        <translation>Geben Sie den Namen des Zutritts ein (Tür, Tor, Schranke, ...).
Er benennt auch die Protokoll- und Datenordner des Zutritts; deshalb darf er weder &apos;/&apos; noch &apos;\&apos; enthalten und nicht mit einem Punkt beginnen.</translation>
    </message>
    <message>
        <source>Optionally input a comment for the entry.</source>
        <translation>Optional einen Kommentar zum Zutritt eingeben.</translation>
    </message>
    <message>
        <source>Choose the access reader of this entry on the LAN, on USB or by its IP address.</source>
        <translation>Den Zutrittsleser dieses Zutritts im LAN, am USB oder über seine IP-Adresse auswählen.</translation>
    </message>
    <message>
        <source>Read the firmware version and, for a short range reader, the state of the external PQ.I/O board.</source>
        <translation>Die Firmware-Version und beim Nahbereichsleser den Zustand der externen PQ.I/O-Platine lesen.</translation>
    </message>
    <message>
        <source>How the reader is reached: IP address and port, USB cable or USB flash drive.</source>
        <translation>Wie der Leser erreicht wird: IP-Adresse und Port, USB-Kabel oder USB-Stick.</translation>
    </message>
    <message>
        <source>The reader has no link to this PC: its access data and its configuration go to it on a USB flash drive.</source>
        <translation>Der Leser hat keine Verbindung zu diesem PC: Seine Zutrittsdaten und seine Konfiguration gelangen über einen USB-Stick zu ihm.</translation>
    </message>
    <message>
        <source>The type of the access reader; it decides the settings below.</source>
        <translation>Der Typ des Zutrittslesers; er bestimmt die Einstellungen darunter.</translation>
    </message>
    <message>
        <source>The device ID (serial number) of the reader: a hexadecimal number of up to 8 digits.</source>
        <translation>Die Geräte-ID (Seriennummer) des Lesers: eine Hexadezimalzahl mit bis zu 8 Ziffern.</translation>
    </message>
    <message>
        <source>The MAC address of the reader, in the form 00:11:22:AA:BB:CC.</source>
        <translation>Die MAC-Adresse des Lesers in der Form 00:11:22:AA:BB:CC.</translation>
    </message>
    <message>
        <source>The firmware version the reader reported last.</source>
        <translation>Die Firmware-Version, die der Leser zuletzt gemeldet hat.</translation>
    </message>
    <message>
        <source>Save the entry in the database and, when you agree, write the reader configuration.</source>
        <translation>Den Zutritt in der Datenbank speichern und, wenn Sie zustimmen, die Leserkonfiguration schreiben.</translation>
    </message>
    <message>
        <source>The configuration of entry &apos;%1&apos; is on the USB flash drive for the %2 with the device ID %3.</source>
        <translation>Die Konfiguration des Zutritts „%1“ liegt auf dem USB-Stick für den %2 mit der Geräte-ID %3.</translation>
    </message>
    <message>
        <source>PQ.I/O Board Pairing</source>
        <translation>Kopplung der PQ.I/O-Platine</translation>
    </message>
    <message>
        <source>The external PQ.I/O board is not paired with the reader.
Do you want to continue?</source>
        <translation>Die externe PQ.I/O-Platine ist nicht mit dem Leser gekoppelt.
Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>The configuration of entry &apos;%1&apos; was written to the %2 with the device ID %3 at %4.</source>
        <translation>Die Konfiguration des Zutritts „%1“ wurde in den %2 mit der Geräte-ID %3 unter %4 geschrieben.</translation>
    </message>
    <message>
        <source>The PQ.I/O board is paired with the reader.</source>
        <translation>Die PQ.I/O-Platine ist mit dem Leser gekoppelt.</translation>
    </message>
</context>
<context>
    <name>KelvaraEditHolidays</name>
    <message>
        <source>Holiday Editor</source>
        <translation>Feiertagseditor</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Weekday</source>
        <translation>Wochentag</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Readers receive the holidays from today on with the next update of their access rights.</source>
        <translation>Die Leser erhalten die Feiertage ab heute mit der nächsten Aktualisierung ihrer Zutrittsrechte.</translation>
    </message>
    <message>
        <source>DB holidays list</source>
        <translation>DB Feiertagsliste</translation>
    </message>
    <message>
        <source>Remove Holiday</source>
        <translation>Feiertag entfernen</translation>
    </message>
    <message>
        <source>Do you really want to remove the selected holiday?</source>
        <translation>Wollen Sie den ausgewählten Feiertag wirklich entfernen?</translation>
    </message>
    <message>
        <source>DB remove holidays</source>
        <translation>DB Feiertag entfernen</translation>
    </message>
    <message>
        <source>Add holiday</source>
        <translation>Feiertag hinzufügen</translation>
    </message>
    <message>
        <source>Edit holiday</source>
        <translation>Feiertag bearbeiten</translation>
    </message>
    <message>
        <source>Remove holiday</source>
        <translation>Feiertag entfernen</translation>
    </message>
    <message>
        <source>Close holiday editor</source>
        <translation>Feiertagseditor schließen</translation>
    </message>
    <message>
        <source>The project&apos;s holidays. On a holiday an entry grants access only by the periods of a time model that include the day &apos;Holiday&apos;.</source>
        <translation>Die Feiertage des Projekts. An einem Feiertag gewährt ein Eingang Zutritt nur in den Zeiträumen eines Zeitmodells, die den Tag &apos;Feiertag&apos; enthalten.</translation>
    </message>
    <message>
        <source>Add Public Holidays...</source>
        <translation>Gesetzliche Feiertage hinzufügen...</translation>
    </message>
    <message>
        <source>Add the public holidays of a country or state for one or more years</source>
        <translation>Die gesetzlichen Feiertage eines Landes oder Bundeslandes für ein oder mehrere Jahre hinzufügen</translation>
    </message>
</context>
<context>
    <name>KelvaraEditTimeModel</name>
    <message>
        <source>Add Time Model</source>
        <translation>Zeitmodell hinzufügen</translation>
    </message>
    <message>
        <source>Model Identifier</source>
        <translation>Modellkennung</translation>
    </message>
    <message>
        <source>Model Name</source>
        <translation>Modellname</translation>
    </message>
    <message>
        <source>Add Period</source>
        <translation>Zeitraum hinzufügen</translation>
    </message>
    <message>
        <source>Remove Period</source>
        <translation>Zeitraum entfernen</translation>
    </message>
    <message>
        <source>Access times:</source>
        <translation>Zutrittszeiten:</translation>
    </message>
    <message>
        <source>Definition:</source>
        <translation>Definition:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Edit Time Model</source>
        <translation>Zeitmodell bearbeiten</translation>
    </message>
    <message>
        <source>Period %1</source>
        <translation>Zeitraum %1</translation>
    </message>
    <message>
        <source>Correct the marked times first: %1</source>
        <translation>Korrigieren Sie zuerst die markierten Zeiten: %1</translation>
    </message>
    <message>
        <source>No access at any time: check at least one day.</source>
        <translation>Zu keiner Zeit Zutritt: wählen Sie mindestens einen Tag.</translation>
    </message>
    <message>
        <source>Missing information</source>
        <translation>Fehlende Angaben</translation>
    </message>
    <message>
        <source>Invalid period</source>
        <translation>Ungültiger Zeitraum</translation>
    </message>
    <message>
        <source>Period %1: %2</source>
        <translation>Zeitraum %1: %2</translation>
    </message>
    <message>
        <source>No model definition given</source>
        <translation>Keine Modelldefinition angegeben</translation>
    </message>
    <message>
        <source>DB add time model</source>
        <translation>DB Zeitmodell hinzufügen</translation>
    </message>
    <message>
        <source>DB edit time model</source>
        <translation>DB Zeitmodell bearbeiten</translation>
    </message>
    <message>
        <source>Input a short time model identifier (max. 3 signs).
Each model identifier must be unique!
The &apos;#&apos; sign is not allowed!</source>
        <translation>Geben Sie eine kurze Zeitmodellkennung ein (max. 3 Zeichen).
Jede Modellkennung muss eindeutig sein!
Das Zeichen &apos;#&apos; ist nicht erlaubt!</translation>
    </message>
    <message>
        <source>Input a name for the time model.
Each model name must be unique!</source>
        <translation>Geben Sie einen Namen für das Zeitmodell ein.
Jeder Modellname muss eindeutig sein!</translation>
    </message>
    <message>
        <source>Add one more period settings field.</source>
        <translation>Ein weiteres Feld für einen Zeitraum hinzufügen.</translation>
    </message>
    <message>
        <source>Remove the last period settings field.</source>
        <translation>Das letzte Feld für einen Zeitraum entfernen.</translation>
    </message>
    <message>
        <source>Save the time model settings in the database.</source>
        <translation>Die Einstellungen des Zeitmodells in der Datenbank speichern.</translation>
    </message>
</context>
<context>
    <name>KelvaraEditUser</name>
    <message>
        <source>Add User</source>
        <translation>Benutzer hinzufügen</translation>
    </message>
    <message>
        <source>Edit User</source>
        <translation>Benutzer bearbeiten</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>User Group</source>
        <translation>Benutzergruppe</translation>
    </message>
    <message>
        <source>Additional User Comment</source>
        <translation>Zusätzlicher Benutzerkommentar</translation>
    </message>
    <message>
        <source>Short Range Transponder</source>
        <translation>Nahbereichstransponder</translation>
    </message>
    <message>
        <source>Long Range Transponder</source>
        <translation>Fernbereichstransponder</translation>
    </message>
    <message>
        <source>Configure Programmer</source>
        <translation>Programmierleser konfigurieren</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Edit IDD</source>
        <translation>IDD bearbeiten</translation>
    </message>
    <message>
        <source>Read IDD</source>
        <translation>IDD lesen</translation>
    </message>
    <message>
        <source>Comment Field</source>
        <translation>Kommentarfeld</translation>
    </message>
    <message>
        <source>IDD</source>
        <translation>IDD</translation>
    </message>
    <message>
        <source>Readers receive: %1</source>
        <translation>Die Leser erhalten: %1</translation>
    </message>
    <message>
        <source>An IDD consists of hexadecimal digits (0-9, A-F) only.
The IDD was not changed.</source>
        <translation>Eine IDD besteht nur aus Hexadezimalziffern (0-9, A-F).
Die IDD wurde nicht geändert.</translation>
    </message>
    <message>
        <source>Missing information</source>
        <translation>Fehlende Angaben</translation>
    </message>
    <message>
        <source>DB open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>DB add user</source>
        <translation>DB Benutzer hinzufügen</translation>
    </message>
    <message>
        <source>DB edit user</source>
        <translation>DB Benutzer bearbeiten</translation>
    </message>
    <message>
        <source>Input the last (family) name of the user.
Combinations of last and first names must be unique!</source>
        <translation>Geben Sie den Nachnamen (Familiennamen) des Benutzers ein.
Kombinationen aus Nach- und Vorname müssen eindeutig sein!</translation>
    </message>
    <message>
        <source>Input the first name of the user.
Combinations of last and first names must be unique!</source>
        <translation>Geben Sie den Vornamen des Benutzers ein.
Kombinationen aus Nach- und Vorname müssen eindeutig sein!</translation>
    </message>
    <message>
        <source>Input the group name of a user
(A department, team, ...).</source>
        <translation>Geben Sie den Gruppennamen eines Benutzers ein
(Eine Abteilung, ein Team, ...).</translation>
    </message>
    <message>
        <source>Choose an already existing group name.</source>
        <translation>Einen bereits vorhandenen Gruppennamen wählen.</translation>
    </message>
    <message>
        <source>The IDD of the users short range transponder
(I.e. a HF ISO14443 or ISO15693 transponder).</source>
        <translation>Die IDD des Nahbereichstransponders des Benutzers
(D.h. ein HF-Transponder nach ISO14443 oder ISO15693).</translation>
    </message>
    <message>
        <source>The IDD of the users long range transponder
(I.e. an UHF Class 1 Generation 2 transponder).</source>
        <translation>Die IDD des Fernbereichstransponders des Benutzers
(D.h. ein UHF-Transponder Class 1 Generation 2).</translation>
    </message>
    <message>
        <source>Edit the IDD of the users short range transponder
or import it via copy and paste.</source>
        <translation>Die IDD des Nahbereichstransponders des Benutzers bearbeiten
oder per Kopieren und Einfügen übernehmen.</translation>
    </message>
    <message>
        <source>Edit the IDD of the users long range transponder
or import it via copy and paste.</source>
        <translation>Die IDD des Fernbereichstransponders des Benutzers bearbeiten
oder per Kopieren und Einfügen übernehmen.</translation>
    </message>
    <message>
        <source>Read the IDD of the users short range transponder
(The transponder must be placed into the RF field first).</source>
        <translation>Die IDD des Nahbereichstransponders des Benutzers lesen
(Der Transponder muss zuerst in das HF-Feld gelegt werden).</translation>
    </message>
    <message>
        <source>Read the IDD of the users long range transponder
(The transponder must be placed into the RF field first).</source>
        <translation>Die IDD des Fernbereichstransponders des Benutzers lesen
(Der Transponder muss zuerst in das HF-Feld gebracht werden).</translation>
    </message>
    <message>
        <source>Optionally input a comment for the user.</source>
        <translation>Optional einen Kommentar zum Benutzer eingeben.</translation>
    </message>
    <message>
        <source>Optionally input a comment for the users short range transponder.</source>
        <translation>Optional einen Kommentar zum Nahbereichstransponder des Benutzers eingeben.</translation>
    </message>
    <message>
        <source>Optionally input a comment for the users long range transponder.</source>
        <translation>Optional einen Kommentar zum Fernbereichstransponder des Benutzers eingeben.</translation>
    </message>
    <message>
        <source>Save the user settings in the database.</source>
        <translation>Die Benutzerangaben in der Datenbank speichern.</translation>
    </message>
    <message>
        <source>Configure the programmer for reading the transponder IDD.</source>
        <translation>Den Programmierleser zum Lesen der Transponder-IDD konfigurieren.</translation>
    </message>
    <message>
        <source>Invalid input</source>
        <translation>Ungültige Eingabe</translation>
    </message>
</context>
<context>
    <name>KelvaraEvents</name>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Gestern</translation>
    </message>
    <message>
        <source>Last 7 days</source>
        <translation>Letzte 7 Tage</translation>
    </message>
    <message>
        <source>This month</source>
        <translation>Dieser Monat</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>From - to</source>
        <translation>Von - bis</translation>
    </message>
    <message>
        <source>All results</source>
        <translation>Alle Ergebnisse</translation>
    </message>
    <message>
        <source>Granted</source>
        <translation>Gewährt</translation>
    </message>
    <message>
        <source>Denied</source>
        <translation>Abgewiesen</translation>
    </message>
    <message>
        <source>Unknown identifiers</source>
        <translation>Unbekannte Kennungen</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>&amp;Period:</source>
        <translation>&amp;Zeitraum:</translation>
    </message>
    <message>
        <source>P&amp;lace:</source>
        <translation>&amp;Ort:</translation>
    </message>
    <message>
        <source>Pe&amp;rson:</source>
        <translation>&amp;Person:</translation>
    </message>
    <message>
        <source>E&amp;xport CSV...</source>
        <translation>CSV e&amp;xportieren...</translation>
    </message>
    <message>
        <source>PDF Re&amp;port...</source>
        <translation>PDF-&amp;Bericht...</translation>
    </message>
    <message>
        <source>Show on &amp;Board</source>
        <translation>Auf der &amp;Tafel zeigen</translation>
    </message>
    <message>
        <source>Open &amp;User</source>
        <translation>Ben&amp;utzer öffnen</translation>
    </message>
    <message>
        <source>&amp;Add as New User...</source>
        <translation>Als neuen Benutzer &amp;anlegen...</translation>
    </message>
    <message>
        <source>&amp;Seen Today in Area...</source>
        <translation>Heute im Bereich &amp;gesehen...</translation>
    </message>
    <message>
        <source>DB event list</source>
        <translation>DB Ereignisliste</translation>
    </message>
    <message>
        <source>All entries</source>
        <translation>Alle Zutritte</translation>
    </message>
    <message>
        <source>Area %1</source>
        <translation>Bereich %1</translation>
    </message>
    <message>
        <source>Everybody</source>
        <translation>Alle Personen</translation>
    </message>
    <message>
        <source>Group %1</source>
        <translation>Gruppe %1</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>text &quot;%1&quot;</source>
        <translation>Text „%1“</translation>
    </message>
    <message>
        <source>%1 events: %2 granted, %3 denied, %4 with unknown identifier</source>
        <translation>%1 Ereignisse: %2 gewährt, %3 abgewiesen, %4 mit unbekannter Kennung</translation>
    </message>
    <message>
        <source>Event Report</source>
        <translation>Ereignisbericht</translation>
    </message>
    <message>
        <source>Project: %1</source>
        <translation>Projekt: %1</translation>
    </message>
    <message>
        <source>Filter: %1</source>
        <translation>Filter: %1</translation>
    </message>
    <message>
        <source>Printed: %1</source>
        <translation>Gedruckt: %1</translation>
    </message>
    <message>
        <source>Export Events</source>
        <translation>Ereignisse exportieren</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; could not be written.</source>
        <translation>Die Datei „%1“ konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Add as New User</source>
        <translation>Als neuen Benutzer anlegen</translation>
    </message>
    <message>
        <source>Add a new user holding the identifier %1?</source>
        <translation>Einen neuen Benutzer mit der Kennung %1 anlegen?</translation>
    </message>
    <message>
        <source>Seen Today in Area</source>
        <translation>Heute im Bereich gesehen</translation>
    </message>
    <message>
        <source>Area:</source>
        <translation>Bereich:</translation>
    </message>
    <message>
        <source>Seen Today in Area %1</source>
        <translation>Heute im Bereich %1 gesehen</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Last Entry</source>
        <translation>Letzter Zutritt</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message numerus="yes">
        <source>%n user(s) let in since %1</source>
        <translation>
            <numerusform>%n Benutzer seit %1 eingelassen</numerusform>
            <numerusform>%n Benutzer seit %1 eingelassen</numerusform>
        </translation>
    </message>
    <message>
        <source>The days whose events are shown (the readers&apos; clocks).</source>
        <translation>Die Tage, deren Ereignisse gezeigt werden (nach den Uhren der Leser).</translation>
    </message>
    <message>
        <source>Only the events of an area or an entry.</source>
        <translation>Nur die Ereignisse eines Bereichs oder eines Zutritts.</translation>
    </message>
    <message>
        <source>Only the events of a group or a user, as they were named then.</source>
        <translation>Nur die Ereignisse einer Gruppe oder eines Benutzers, wie sie damals hießen.</translation>
    </message>
    <message>
        <source>Only granted or denied events, or those of identifiers no user held.</source>
        <translation>Nur gewährte oder abgewiesene Ereignisse oder die von Kennungen, die kein Benutzer hatte.</translation>
    </message>
    <message>
        <source>Only events whose identifier, user, group, entry or area contain the text.</source>
        <translation>Nur Ereignisse, deren Kennung, Benutzer, Gruppe, Zutritt oder Bereich den Text enthält.</translation>
    </message>
    <message>
        <source>Shows the user and the entry of the event on the access board.</source>
        <translation>Zeigt Benutzer und Zutritt des Ereignisses auf der Zutrittstafel.</translation>
    </message>
    <message>
        <source>Opens the user of the event in the user administration.</source>
        <translation>Öffnet den Benutzer des Ereignisses in der Benutzerverwaltung.</translation>
    </message>
    <message>
        <source>Adds a new user holding the unknown identifier of the event.</source>
        <translation>Legt einen neuen Benutzer mit der unbekannten Kennung des Ereignisses an.</translation>
    </message>
    <message>
        <source>Lists the users let in at the area chosen as place since the start of the day, each with the last entry and time: a quick roll call.</source>
        <translation>Listet die Benutzer, die seit Tagesbeginn in den als Ort gewählten Bereich eingelassen wurden, jeweils mit letztem Zutritt und Zeit: ein schneller Appell.</translation>
    </message>
    <message>
        <source>Writes the events shown into a semicolon-separated file.</source>
        <translation>Schreibt die gezeigten Ereignisse in eine durch Semikolons getrennte Datei.</translation>
    </message>
    <message>
        <source>Writes the events shown as a PDF report.</source>
        <translation>Schreibt die gezeigten Ereignisse als PDF-Bericht.</translation>
    </message>
</context>
<context>
    <name>KelvaraFunctionDialog</name>
    <message>
        <source>The reader event lists will be deleted !</source>
        <translation>Die Ereignislisten der Leser werden gelöscht !</translation>
    </message>
    <message>
        <source>Please close all .CSV files of this project before you start !</source>
        <translation>Bitte schließen Sie alle .CSV-Dateien dieses Projekts, bevor Sie starten !</translation>
    </message>
    <message>
        <source> </source>
        <translation> </translation>
    </message>
    <message>
        <source>Entry Name</source>
        <translation>Zutrittsname</translation>
    </message>
    <message>
        <source>USB Flash Drive</source>
        <translation>USB-Stick</translation>
    </message>
    <message>
        <source>Reader Connect</source>
        <translation>Leserverbindung</translation>
    </message>
    <message>
        <source>Reader Typ</source>
        <translation>Lesertyp</translation>
    </message>
    <message>
        <source>Reader Device ID</source>
        <translation>Leser-Geräte-ID</translation>
    </message>
    <message>
        <source>Needs Update</source>
        <translation>Aktualisierung nötig</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>%v of %m entries</source>
        <translation>%v von %m Zutritten</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Open data path</source>
        <translation>Datenpfad öffnen</translation>
    </message>
    <message>
        <source>Open log path</source>
        <translation>Protokollpfad öffnen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Deselect All</source>
        <translation>Auswahl aufheben</translation>
    </message>
    <message>
        <source>Show Log Window</source>
        <translation>Protokollfenster zeigen</translation>
    </message>
    <message>
        <source>Area &apos;%1&apos;</source>
        <translation>Bereich &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Entry &apos;%1&apos;</source>
        <translation>Zutritt &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Short Range Reader</source>
        <translation>Nahbereichsleser</translation>
    </message>
    <message>
        <source>Long Range Reader</source>
        <translation>Weitbereichsleser</translation>
    </message>
    <message>
        <source>Fatal Error</source>
        <translation>Schwerer Fehler</translation>
    </message>
    <message>
        <source>Function mode error</source>
        <translation>Fehler im Funktionsmodus</translation>
    </message>
    <message>
        <source>DB Open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>DB Entry List</source>
        <translation>DB Zutrittsliste</translation>
    </message>
    <message>
        <source>No Reader</source>
        <translation>Kein Leser</translation>
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
        <source>Change Reader Connect</source>
        <translation>Leserverbindung ändern</translation>
    </message>
    <message>
        <source>DB entry list</source>
        <translation>DB Zutrittsliste</translation>
    </message>
    <message>
        <source>No entries selected in table</source>
        <translation>Keine Zutritte in der Tabelle ausgewählt</translation>
    </message>
    <message>
        <source>DB open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>Empty selection</source>
        <translation>Leere Auswahl</translation>
    </message>
    <message>
        <source>DB holiday list</source>
        <translation>DB Feiertagsliste</translation>
    </message>
    <message>
        <source>Terminating function</source>
        <translation>Funktion wird beendet</translation>
    </message>
    <message>
        <source>Function terminated after %1 of %2 entries; the others were not run.</source>
        <translation>Funktion nach %1 von %2 Zutritten beendet; die übrigen wurden nicht ausgeführt.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>NO CONNECTION</source>
        <translation>KEINE VERBINDUNG</translation>
    </message>
    <message>
        <source>FAILED</source>
        <translation>FEHLGESCHLAGEN</translation>
    </message>
    <message numerus="yes">
        <source>%n entries selected</source>
        <translation>
            <numerusform>%n Zutritt ausgewählt</numerusform>
            <numerusform>%n Zutritte ausgewählt</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopping after entry &apos;%1&apos; ...   %2</source>
        <translation>Halt nach Zutritt &apos;%1&apos; ...   %2</translation>
    </message>
    <message>
        <source>Entry %1 of %2: &apos;%3&apos;   %4</source>
        <translation>Zutritt %1 von %2: &apos;%3&apos;   %4</translation>
    </message>
    <message>
        <source>%1 of %2 entries OK, %3 failed, %4 not run   %5</source>
        <translation>%1 von %2 Zutritten OK, %3 fehlgeschlagen, %4 nicht ausgeführt   %5</translation>
    </message>
    <message>
        <source>Close this dialog.</source>
        <translation>Diesen Dialog schließen.</translation>
    </message>
    <message>
        <source>Start execution of the announced operation (see title bar).
This operation will be executed for all selected readers.
Via the context menu you can open a log window.</source>
        <translation>Startet die angekündigte Funktion (siehe Titelleiste).
Die Funktion wird für alle ausgewählten Leser ausgeführt.
Über das Kontextmenü können Sie ein Protokollfenster öffnen.</translation>
    </message>
    <message>
        <source>Stop execution of the running operation.</source>
        <translation>Beendet die laufende Funktion.</translation>
    </message>
    <message>
        <source>The function is still running.
Stop it after the entry in progress and close this window?</source>
        <translation>Die Funktion läuft noch.
Nach dem laufenden Zutritt beenden und dieses Fenster schließen?</translation>
    </message>
    <message>
        <source>RUNNING</source>
        <translation>LÄUFT</translation>
    </message>
    <message>
        <source>Entry &apos;%1&apos; cannot be updated: %2</source>
        <translation>Zutritt &apos;%1&apos; lässt sich nicht aktualisieren: %2</translation>
    </message>
    <message>
        <source>IN SYNC</source>
        <translation>STIMMT ÜBEREIN</translation>
    </message>
    <message>
        <source>DIFFERS</source>
        <translation>WEICHT AB</translation>
    </message>
    <message>
        <source>%1 of %2 entries in sync, %3 differ or failed, %4 not run   %5</source>
        <translation>%1 von %2 Zutritten stimmen überein, %3 weichen ab oder scheiterten, %4 nicht ausgeführt   %5</translation>
    </message>
    <message>
        <source>Stopping after the %1 entries in progress ...   %2</source>
        <translation>Halt nach den %1 laufenden Zutritten ...   %2</translation>
    </message>
    <message>
        <source>%1 of %2 entries done, %3 in progress   %4</source>
        <translation>%1 von %2 Zutritten fertig, %3 laufen   %4</translation>
    </message>
    <message>
        <source>All Readers</source>
        <translation>Alle Leser</translation>
    </message>
    <message>
        <source>Nothing left to do: the entries served are deselected.</source>
        <translation>Nichts mehr zu tun: die bedienten Zutritte sind abgewählt.</translation>
    </message>
    <message>
        <source>The data is in %1</source>
        <translation>Die Daten liegen in %1</translation>
    </message>
    <message>
        <source>The reader event lists are read and kept first, then deleted by the update.</source>
        <translation>Die Ereignislisten der Leser werden zuerst gelesen und bewahrt, dann von der Aktualisierung gelöscht.</translation>
    </message>
</context>
<context>
    <name>KelvaraFunctionLogWin</name>
    <message>
        <source>%1 ::: %2</source>
        <translation>%1 ::: %2</translation>
    </message>
    <message>
        <source>Log Window</source>
        <translation>Protokollfenster</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>Save Log Window</source>
        <translation>Protokollfenster speichern</translation>
    </message>
    <message>
        <source>Log files (*.log *.txt)</source>
        <translation>Protokolldateien (*.log *.txt)</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; could not be written:
%2</source>
        <translation>Die Datei &apos;%1&apos; konnte nicht geschrieben werden:
%2</translation>
    </message>
    <message>
        <source>The log lines of the running function, as written to the function&apos;s daily log file.</source>
        <translation>Die Protokollzeilen der laufenden Funktion, wie sie in die tägliche Protokolldatei der Funktion geschrieben werden.</translation>
    </message>
    <message>
        <source>Save the lines of this window to a file.</source>
        <translation>Speichert die Zeilen dieses Fensters in einer Datei.</translation>
    </message>
</context>
<context>
    <name>KelvaraGeneralSettingsDialog</name>
    <message>
        <source>General Settings</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>Short Range (HF) Programmer</source>
        <translation>Programmierleser Nahbereich (HF)</translation>
    </message>
    <message>
        <source>Long Range (UHF) Programmer</source>
        <translation>Programmierleser Fernbereich (UHF)</translation>
    </message>
    <message>
        <source>Select HF Reader for Programming</source>
        <translation>HF-Leser zum Programmieren wählen</translation>
    </message>
    <message>
        <source>Select UHF Reader for Programming</source>
        <translation>UHF-Leser zum Programmieren wählen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Device-ID &apos;%1&apos; via &apos;%2&apos;</source>
        <translation>Geräte-ID &apos;%1&apos; über &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Please select a reader</source>
        <translation>Bitte einen Leser wählen</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Configure Programmer Reader &apos;%1&apos;</source>
        <translation>Programmierleser &apos;%1&apos; konfigurieren</translation>
    </message>
    <message>
        <source>The reader

&apos;%1&apos; with device ID &apos;%2&apos;

is registered as access control reader.
If the reader is already configured for access control you should skip here!

Do you want to configure it?</source>
        <translation>Der Leser

&apos;%1&apos; mit der Geräte-ID &apos;%2&apos;

ist als Zutrittsleser registriert.
Wenn der Leser bereits für die Zutrittskontrolle konfiguriert ist, sollten Sie hier überspringen!

Möchten Sie ihn konfigurieren?</translation>
    </message>
    <message>
        <source>Region</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>Readers updated at once:</source>
        <translation>Gleichzeitig aktualisierte Leser:</translation>
    </message>
    <message>
        <source>How many readers a function (update, read, set the clock ...) serves at the same time.
1: one reader after another.</source>
        <translation>Wie viele Leser eine Funktion (Aktualisieren, Lesen, Uhr stellen ...) zugleich bedient.
1: ein Leser nach dem anderen.</translation>
    </message>
    <message>
        <source>Read events before updating</source>
        <translation>Ereignisse vor dem Aktualisieren lesen</translation>
    </message>
    <message>
        <source>New access tables delete a reader&apos;s event list. When this is on, an update first reads the reader&apos;s events and keeps them in the project; if that fails, nothing is sent and the reader keeps its events.</source>
        <translation>Neue Zutrittstabellen löschen die Ereignisliste eines Lesers. Ist dies an, liest eine Aktualisierung zuerst die Ereignisse des Lesers und bewahrt sie im Projekt; misslingt das, wird nichts gesendet und der Leser behält seine Ereignisse.</translation>
    </message>
</context>
<context>
    <name>KelvaraHistory</name>
    <message>
        <source>History of Changes</source>
        <translation>Änderungsverlauf</translation>
    </message>
    <message>
        <source>Any time</source>
        <translation>Jederzeit</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Last 7 days</source>
        <translation>Letzte 7 Tage</translation>
    </message>
    <message>
        <source>Last 30 days</source>
        <translation>Letzte 30 Tage</translation>
    </message>
    <message>
        <source>This year</source>
        <translation>Dieses Jahr</translation>
    </message>
    <message>
        <source>Between</source>
        <translation>Zwischen</translation>
    </message>
    <message>
        <source>All kinds</source>
        <translation>Alle Arten</translation>
    </message>
    <message>
        <source>part of the name</source>
        <translation>Teil des Namens</translation>
    </message>
    <message>
        <source>anywhere in a record</source>
        <translation>irgendwo in einem Eintrag</translation>
    </message>
    <message>
        <source>Show &amp;All Records</source>
        <translation>&amp;Alle Einträge zeigen</translation>
    </message>
    <message>
        <source>from</source>
        <translation>von</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>&amp;Period:</source>
        <translation>&amp;Zeitraum:</translation>
    </message>
    <message>
        <source>&amp;Operator:</source>
        <translation>&amp;Bearbeiter:</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Art:</translation>
    </message>
    <message>
        <source>O&amp;bject:</source>
        <translation>O&amp;bjekt:</translation>
    </message>
    <message>
        <source>&amp;Text:</source>
        <translation>&amp;Text:</translation>
    </message>
    <message>
        <source>Export &amp;CSV…</source>
        <translation>&amp;CSV exportieren…</translation>
    </message>
    <message>
        <source>Export P&amp;DF…</source>
        <translation>P&amp;DF exportieren…</translation>
    </message>
    <message>
        <source>Only the right of %1 at %2.</source>
        <translation>Nur das Recht von %1 an %2.</translation>
    </message>
    <message>
        <source>Only records concerning the user %1.</source>
        <translation>Nur Einträge zum Benutzer %1.</translation>
    </message>
    <message>
        <source>Only records concerning the entry %1.</source>
        <translation>Nur Einträge zum Zutritt %1.</translation>
    </message>
    <message>
        <source>from %1 to %2</source>
        <translation>von %1 bis %2</translation>
    </message>
    <message>
        <source>the first record</source>
        <translation>Anfang</translation>
    </message>
    <message>
        <source>the last record</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>operator %1</source>
        <translation>Bearbeiter %1</translation>
    </message>
    <message>
        <source>kind %1</source>
        <translation>Art %1</translation>
    </message>
    <message>
        <source>object &quot;%1&quot;</source>
        <translation>Objekt „%1“</translation>
    </message>
    <message>
        <source>text &quot;%1&quot;</source>
        <translation>Text „%1“</translation>
    </message>
    <message>
        <source>All records.</source>
        <translation>Alle Einträge.</translation>
    </message>
    <message>
        <source>The history cannot be read: %1</source>
        <translation>Der Verlauf kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The record cannot be read: %1</source>
        <translation>Der Eintrag kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Record %1, %2 (UTC %3)</source>
        <translation>Eintrag %1, %2 (UTC %3)</translation>
    </message>
    <message>
        <source>By %1 with %2 %3</source>
        <translation>Von %1 mit %2 %3</translation>
    </message>
    <message>
        <source>%1 %2: %3</source>
        <translation>%1 %2: %3</translation>
    </message>
    <message>
        <source>Users: %1</source>
        <translation>Benutzer: %1</translation>
    </message>
    <message>
        <source>Entries: %1</source>
        <translation>Zutritte: %1</translation>
    </message>
    <message>
        <source>The right of %1 at %2: %3 before, %4 after.</source>
        <translation>Das Recht von %1 an %2: vorher %3, nachher %4.</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keines</translation>
    </message>
    <message>
        <source>Before:</source>
        <translation>Vorher:</translation>
    </message>
    <message>
        <source>After:</source>
        <translation>Nachher:</translation>
    </message>
    <message>
        <source>Export History</source>
        <translation>Verlauf exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>%1 records written to
%2</source>
        <translation>%1 Einträge geschrieben nach
%2</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>History of changes: %1</source>
        <translation>Änderungsverlauf: %1</translation>
    </message>
</context>
<context>
    <name>KelvaraListView</name>
    <message>
        <source>Sort by</source>
        <translation>Sortieren nach</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>DB open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>Sort ascending or descending</source>
        <translation>Aufsteigend oder absteigend sortieren</translation>
    </message>
    <message>
        <source>Input search term</source>
        <translation>Suchbegriff eingeben</translation>
    </message>
    <message>
        <source>To previous search term</source>
        <translation>Zum vorigen Suchtreffer</translation>
    </message>
    <message>
        <source>To next search term</source>
        <translation>Zum nächsten Suchtreffer</translation>
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
        <source>Import User List from File</source>
        <translation>Benutzerliste aus Datei importieren</translation>
    </message>
    <message>
        <source>Export User List to File</source>
        <translation>Benutzerliste in Datei exportieren</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; already exists.
Do you want to replace it?</source>
        <translation>Die Datei &apos;%1&apos; existiert bereits.
Möchten Sie sie ersetzen?</translation>
    </message>
    <message>
        <source>The user list could not be written to the file &apos;%1&apos;.</source>
        <translation>Die Benutzerliste konnte nicht in die Datei &apos;%1&apos; geschrieben werden.</translation>
    </message>
    <message>
        <source>Open Recen&amp;t Project</source>
        <translation>&amp;Zuletzt geöffnetes Projekt</translation>
    </message>
    <message>
        <source>Access Board &amp;Legend</source>
        <translation>&amp;Legende der Zutrittstafel</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Find on the Access Board</source>
        <translation>In der Zutrittstafel &amp;suchen</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>&amp;Nächsten suchen</translation>
    </message>
    <message>
        <source>Find &amp;Previous</source>
        <translation>&amp;Vorherigen suchen</translation>
    </message>
    <message>
        <source>New Project Settings</source>
        <translation>Einstellungen neues Projekt</translation>
    </message>
    <message>
        <source>Project Settings</source>
        <translation>Projekteinstellungen</translation>
    </message>
    <message>
        <source>History of &amp;Changes…</source>
        <translation>Ä&amp;nderungsverlauf…</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Access &amp;Board</source>
        <translation>&amp;Zutrittstafel</translation>
    </message>
    <message>
        <source>&amp;Users</source>
        <translation>&amp;Benutzer</translation>
    </message>
    <message>
        <source>&amp;Entries</source>
        <translation>Z&amp;utritte</translation>
    </message>
    <message>
        <source>&amp;Time Models</source>
        <translation>Zeit&amp;modelle</translation>
    </message>
    <message>
        <source>Reconfigure &amp;Short Range Reader</source>
        <translation>Nahbereichsleser &amp;neu konfigurieren</translation>
    </message>
    <message>
        <source>Reconfigure &amp;Long Range Reader</source>
        <translation>Fernbereichsleser neu &amp;konfigurieren</translation>
    </message>
    <message>
        <source>&amp;Reconfigure All Readers</source>
        <translation>Alle Leser neu konf&amp;igurieren</translation>
    </message>
    <message numerus="yes">
        <source>%n user entries exported to file</source>
        <translation>
            <numerusform>%n Benutzereintrag in die Datei exportiert</numerusform>
            <numerusform>%n Benutzereinträge in die Datei exportiert</numerusform>
        </translation>
    </message>
    <message>
        <source>The settings could not be written to %1.</source>
        <translation>Die Einstellungen konnten nicht in %1 geschrieben werden.</translation>
    </message>
    <message>
        <source>E&amp;vent Log</source>
        <translation>&amp;Ereignisprotokoll</translation>
    </message>
    <message>
        <source>Event Log</source>
        <translation>Ereignisprotokoll</translation>
    </message>
    <message>
        <source>Connected to the server again.</source>
        <translation>Wieder mit dem Server verbunden.</translation>
    </message>
    <message>
        <source>New &amp;Server Project…</source>
        <translation>Neues &amp;Serverprojekt…</translation>
    </message>
    <message>
        <source> — server %1</source>
        <translation> — Server %1</translation>
    </message>
    <message>
        <source>Folder project</source>
        <translation>Ordnerprojekt</translation>
    </message>
    <message>
        <source>Server project: %1 (%2)</source>
        <translation>Serverprojekt: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>KelvaraNewServerProjectDialog</name>
    <message>
        <source>Create new server project</source>
        <translation>Neues Serverprojekt anlegen</translation>
    </message>
    <message>
        <source>A server project keeps its database on a PostgreSQL server, shared by every workstation. This computer keeps a folder with the connection file and its own log and data folders. The database must hold a project made with &quot;kelvara-cli server init&quot;, or be empty.</source>
        <translation>Ein Serverprojekt hält seine Datenbank auf einem PostgreSQL-Server, den alle Arbeitsplätze teilen. Dieser Rechner behält einen Ordner mit der Verbindungsdatei und seinen eigenen Protokoll- und Datenordnern. Die Datenbank muss ein mit „kelvara-cli server init“ angelegtes Projekt enthalten oder leer sein.</translation>
    </message>
    <message>
        <source>Project name:</source>
        <translation>Projektname:</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Durchsuchen…</translation>
    </message>
    <message>
        <source>Folder on this computer:</source>
        <translation>Ordner auf diesem Rechner:</translation>
    </message>
    <message>
        <source>A host name, an address, or the folder of the server&apos;s Unix socket</source>
        <translation>Ein Hostname, eine Adresse oder der Ordner des Unix-Sockets des Servers</translation>
    </message>
    <message>
        <source>Server host:</source>
        <translation>Server-Host:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Database:</source>
        <translation>Datenbank:</translation>
    </message>
    <message>
        <source>User (role):</source>
        <translation>Benutzer (Rolle):</translation>
    </message>
    <message>
        <source>SSL mode:</source>
        <translation>SSL-Modus:</translation>
    </message>
    <message>
        <source>No password is stored: the server asks for it when the project opens, or it comes from the password file ~/.pgpass.</source>
        <translation>Es wird kein Passwort gespeichert: Der Server fragt beim Öffnen des Projekts danach, oder es kommt aus der Passwortdatei ~/.pgpass.</translation>
    </message>
    <message>
        <source>Select the folder for the project</source>
        <translation>Ordner für das Projekt wählen</translation>
    </message>
</context>
<context>
    <name>KelvaraProjectSettingsDialog</name>
    <message>
        <source>New Project Settings</source>
        <translation>Einstellungen neues Projekt</translation>
    </message>
    <message>
        <source>Project Settings</source>
        <translation>Projekteinstellungen</translation>
    </message>
    <message>
        <source>Short Range</source>
        <translation>Nahbereich</translation>
    </message>
    <message>
        <source>Use Short Range Transponder / Reader</source>
        <translation>Nahbereichs-Transponder / -Leser verwenden</translation>
    </message>
    <message>
        <source>ISO15693 support</source>
        <translation>ISO15693-Unterstützung</translation>
    </message>
    <message>
        <source>Long Range</source>
        <translation>Fernbereich</translation>
    </message>
    <message>
        <source>Use Long Range Transponder / Reader</source>
        <translation>Fernbereichs-Transponder / -Leser verwenden</translation>
    </message>
    <message>
        <source>Transponder Filter</source>
        <translation>Transponderfilter</translation>
    </message>
    <message>
        <source>Filter 1</source>
        <translation>Filter 1</translation>
    </message>
    <message>
        <source>KORVEX Transponder</source>
        <translation>KORVEX-Transponder</translation>
    </message>
    <message>
        <source>Filter 2</source>
        <translation>Filter 2</translation>
    </message>
    <message>
        <source>Filter 3</source>
        <translation>Filter 3</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Use short range (HF) transponder and reader</source>
        <translation>Nahbereichs-(HF-)Transponder und -Leser verwenden</translation>
    </message>
    <message>
        <source>Support ISO 15693 transponder</source>
        <translation>ISO-15693-Transponder unterstützen</translation>
    </message>
    <message>
        <source>Use long range (UHF) transponder and reader</source>
        <translation>Fernbereichs-(UHF-)Transponder und -Leser verwenden</translation>
    </message>
    <message>
        <source>Use transponder filter</source>
        <translation>Transponderfilter verwenden</translation>
    </message>
    <message>
        <source>Set filter for KORVEX transponder</source>
        <translation>Filter für KORVEX-Transponder setzen</translation>
    </message>
    <message>
        <source>Input transponder filter (hex. notation)</source>
        <translation>Transponderfilter eingeben (hexadezimal)</translation>
    </message>
    <message>
        <source>Filter %1 is no valid transponder filter.
Please enter up to 48 hexadecimal digits.</source>
        <translation>Filter %1 ist kein gültiger Transponderfilter.
Bitte bis zu 48 hexadezimale Ziffern eingeben.</translation>
    </message>
    <message>
        <source>Cannot read the project database.</source>
        <translation>Die Projektdatenbank kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Support ISO15693</source>
        <translation>ISO15693-Unterstützung</translation>
    </message>
    <message>
        <source>For ISO15693 support your project database must be updated to 8 byte UID&apos;s.
Subsequent you have to configure all proximidy readers again and
update their access configuration!

Do you want to continue?</source>
        <translation>Für die ISO15693-Unterstützung muss die Projektdatenbank auf 8-Byte-UIDs umgestellt werden.
Danach müssen alle Nahbereichsleser neu konfiguriert und
ihre Zugangskonfiguration aktualisiert werden!

Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>This computer&apos;s (%1)</source>
        <translation>Die dieses Computers (%1)</translation>
    </message>
    <message>
        <source>Time zone of the site</source>
        <translation>Zeitzone des Standorts</translation>
    </message>
    <message>
        <source>The readers&apos; clocks are set to this time zone, and every time shown or entered is a time of the site. Choose it when this computer (a server, say) runs in another zone than the doors.</source>
        <translation>Die Uhren der Leser werden auf diese Zeitzone gestellt, und jede angezeigte oder eingegebene Zeit ist eine Zeit des Standorts. Wählen Sie sie, wenn dieser Computer (etwa ein Server) in einer anderen Zone läuft als die Türen.</translation>
    </message>
    <message>
        <source>for ever</source>
        <translation>unbegrenzt</translation>
    </message>
    <message>
        <source> days</source>
        <translation> Tage</translation>
    </message>
    <message>
        <source>Keep events for</source>
        <translation>Ereignisse aufbewahren für</translation>
    </message>
    <message>
        <source>Events read from the readers older than this are removed after each read (0: kept for ever).</source>
        <translation>Aus den Lesern gelesene Ereignisse, die älter sind, werden nach jedem Lesen entfernt (0: unbegrenzt aufbewahrt).</translation>
    </message>
</context>
<context>
    <name>KelvaraPublicHolidays</name>
    <message>
        <source>en</source>
        <comment>the language code of this translation</comment>
        <translation>de</translation>
    </message>
    <message>
        <source>Add Public Holidays</source>
        <translation>Gesetzliche Feiertage hinzufügen</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>&amp;Region:</source>
        <translation>&amp;Region:</translation>
    </message>
    <message>
        <source>&amp;Years:</source>
        <translation>&amp;Jahre:</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Weekday</source>
        <translation>Wochentag</translation>
    </message>
    <message>
        <source>Holiday</source>
        <translation>Feiertag</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Add Checked</source>
        <translation>Angehakte hinzufügen</translation>
    </message>
    <message>
        <source>The country or state whose public holidays are added. Holidays that only some towns of a state keep are not listed.</source>
        <translation>Das Land oder Bundesland, dessen gesetzliche Feiertage hinzugefügt werden. Feiertage, die nur einzelne Gemeinden eines Landes begehen, stehen nicht in der Liste.</translation>
    </message>
    <message>
        <source>The holidays of the chosen years. Only the checked ones are added; dates that are holidays already are left as they are.</source>
        <translation>Die Feiertage der gewählten Jahre. Nur die angehakten werden hinzugefügt; Tage, die schon Feiertage sind, bleiben, wie sie sind.</translation>
    </message>
    <message>
        <source>DB holidays list</source>
        <translation>DB Feiertagsliste</translation>
    </message>
    <message>
        <source>already a holiday</source>
        <translation>schon ein Feiertag</translation>
    </message>
    <message>
        <source>past: not sent to readers</source>
        <translation>vergangen: wird nicht an Leser gesendet</translation>
    </message>
    <message numerus="yes">
        <source>Holidays checked: %n</source>
        <translation>
            <numerusform>Angehakte Feiertage: %n</numerusform>
            <numerusform>Angehakte Feiertage: %n</numerusform>
        </translation>
    </message>
    <message>
        <source>DB add holidays</source>
        <translation>DB Feiertage hinzufügen</translation>
    </message>
</context>
<context>
    <name>KelvaraReadTag</name>
    <message>
        <source>Read Tag</source>
        <translation>Tag lesen</translation>
    </message>
    <message>
        <source>No reader configured for reading tags.
Please check your settings.</source>
        <translation>Kein Leser zum Lesen von Tags konfiguriert.
Bitte prüfen Sie Ihre Einstellungen.</translation>
    </message>
    <message>
        <source>Unsupported reader type</source>
        <translation>Nicht unterstützter Lesertyp</translation>
    </message>
    <message>
        <source>Read tag &apos;%1&apos; &apos;%2&apos;</source>
        <translation>Tag lesen &apos;%1&apos; &apos;%2&apos;</translation>
    </message>
</context>
<context>
    <name>KelvaraRegion</name>
    <message>
        <source>EU: Europe</source>
        <translation>EU: Europa</translation>
    </message>
    <message>
        <source>EU: Asia / Oceania</source>
        <translation>EU: Asien / Ozeanien</translation>
    </message>
    <message>
        <source>EU: Russia</source>
        <translation>EU: Russland</translation>
    </message>
    <message>
        <source>EU: Africa</source>
        <translation>EU: Afrika</translation>
    </message>
    <message>
        <source>EU: India</source>
        <translation>EU: Indien</translation>
    </message>
    <message>
        <source>EU: Morocco</source>
        <translation>EU: Marokko</translation>
    </message>
    <message>
        <source>FCC: USA</source>
        <translation>FCC: USA</translation>
    </message>
    <message>
        <source>FCC: China</source>
        <translation>FCC: China</translation>
    </message>
    <message>
        <source>FCC: Australia / New Zealand</source>
        <translation>FCC: Australien / Neuseeland</translation>
    </message>
    <message>
        <source>FCC: Brazil</source>
        <translation>FCC: Brasilien</translation>
    </message>
    <message>
        <source>FCC: Israel</source>
        <translation>FCC: Israel</translation>
    </message>
    <message>
        <source>FCC: Japan</source>
        <translation>FCC: Japan</translation>
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
    <name>KelvaraTimePeriod</name>
    <message>
        <source>Period %1</source>
        <translation>Zeitraum %1</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>To</source>
        <translation>Bis</translation>
    </message>
    <message>
        <source>Enter &apos;%1&apos; as HH:MM.</source>
        <translation>Geben Sie &apos;%1&apos; als HH:MM ein.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; %2 is no time of day (00:00 to 24:00).</source>
        <translation>&apos;%1&apos; %2 ist keine Tageszeit (00:00 bis 24:00).</translation>
    </message>
    <message>
        <source>&apos;From&apos; must be earlier than &apos;To&apos;; a period cannot cross midnight (use two periods).</source>
        <translation>&apos;Von&apos; muss vor &apos;Bis&apos; liegen; ein Zeitraum kann nicht über Mitternacht gehen (verwenden Sie zwei Zeiträume).</translation>
    </message>
    <message>
        <source>Here you define an access period.
We treat a period as a time interval related to one or more weekdays.
A time model consists of up to 8 periods. It grants access when one of its periods says &apos;Yes&apos; (Or wired).</source>
        <translation>Hier definieren Sie einen Zutrittszeitraum.
Ein Zeitraum ist ein Zeitintervall an einem oder mehreren Wochentagen.
Ein Zeitmodell besteht aus bis zu 8 Zeiträumen. Es gewährt Zutritt, wenn einer seiner Zeiträume &apos;Ja&apos; sagt (Oder-verknüpft).</translation>
    </message>
</context>
<context>
    <name>KelvaraTimes</name>
    <message>
        <source>DB open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Model Name</source>
        <translation>Modellname</translation>
    </message>
    <message>
        <source>Model Definition</source>
        <translation>Modelldefinition</translation>
    </message>
    <message>
        <source>Always</source>
        <translation>Immer</translation>
    </message>
    <message>
        <source>DB times list</source>
        <translation>DB Zeitmodellliste</translation>
    </message>
    <message>
        <source>Remove Time Model</source>
        <translation>Zeitmodell entfernen</translation>
    </message>
    <message>
        <source>Do you really want to remove the selected time model?</source>
        <translation>Wollen Sie das ausgewählte Zeitmodell wirklich entfernen?</translation>
    </message>
    <message>
        <source>DB remove times</source>
        <translation>DB Zeitmodell entfernen</translation>
    </message>
    <message>
        <source>Add time model</source>
        <translation>Zeitmodell hinzufügen</translation>
    </message>
    <message>
        <source>Edit selected time model</source>
        <translation>Ausgewähltes Zeitmodell bearbeiten</translation>
    </message>
    <message>
        <source>Remove selected time model</source>
        <translation>Ausgewähltes Zeitmodell entfernen</translation>
    </message>
    <message>
        <source>Open holiday editor</source>
        <translation>Feiertagseditor öffnen</translation>
    </message>
    <message>
        <source>Time models define access times for a user to an entry. For each model you must give a name and a short (max. 3 signs) identifier as logical information. The identifiers are shown in the access board.

A &apos;Time Model&apos; is a list of up to 8 &apos;periods&apos;. We treat a period as a time interval related to one or more weekdays. The users can access an entry when the access time is within one of the model&apos;s periods.

The model definition column of the table shows the access rules for that model (physical information).</source>
        <translation>Zeitmodelle legen die Zutrittszeiten eines Benutzers an einem Eingang fest. Für jedes Modell geben Sie einen Namen und eine kurze Kennung (max. 3 Zeichen) als logische Information an. Die Kennungen werden in der Zutrittstabelle angezeigt.

Ein &apos;Zeitmodell&apos; ist eine Liste von bis zu 8 &apos;Zeiträumen&apos;. Ein Zeitraum ist ein Zeitintervall an einem oder mehreren Wochentagen. Die Benutzer haben Zutritt zu einem Eingang, wenn die Zutrittszeit in einem der Zeiträume des Modells liegt.

Die Spalte Modelldefinition der Tabelle zeigt die Zutrittsregeln des Modells (physikalische Information).</translation>
    </message>
</context>
<context>
    <name>KelvaraUsers</name>
    <message>
        <source>Users</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Group, Name</source>
        <translation>Gruppe, Name</translation>
    </message>
    <message>
        <source>User Comment</source>
        <translation>Benutzerkommentar</translation>
    </message>
    <message>
        <source>IDD Short Range Transponder</source>
        <translation>IDD Nahbereichstransponder</translation>
    </message>
    <message>
        <source>Comment Short Range Transponder</source>
        <translation>Kommentar Nahbereichstransponder</translation>
    </message>
    <message>
        <source>IDD Long Range Transponder</source>
        <translation>IDD Fernbereichstransponder</translation>
    </message>
    <message>
        <source>Comment Long Range Transponder</source>
        <translation>Kommentar Fernbereichstransponder</translation>
    </message>
    <message>
        <source>Read IDD</source>
        <translation>IDD lesen</translation>
    </message>
    <message>
        <source>Read Short Range Transponder</source>
        <translation>Nahbereichstransponder lesen</translation>
    </message>
    <message>
        <source>Read Long Range Transponder</source>
        <translation>Fernbereichstransponder lesen</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>User Group</source>
        <translation>Benutzergruppe</translation>
    </message>
    <message>
        <source>Short Range Transponder</source>
        <translation>Nahbereichstransponder</translation>
    </message>
    <message>
        <source>... Comment</source>
        <translation>... Kommentar</translation>
    </message>
    <message>
        <source>Long Range Transponder</source>
        <translation>Fernbereichstransponder</translation>
    </message>
    <message>
        <source>Open Import File</source>
        <translation>Importdatei öffnen</translation>
    </message>
    <message>
        <source>Perform Import</source>
        <translation>Import ausführen</translation>
    </message>
    <message>
        <source>DB open</source>
        <translation>DB öffnen</translation>
    </message>
    <message>
        <source>DB users list</source>
        <translation>DB Benutzerliste</translation>
    </message>
    <message>
        <source>Remove User</source>
        <translation>Benutzer entfernen</translation>
    </message>
    <message>
        <source>Do you really want to remove the selected users?</source>
        <translation>Möchten Sie die ausgewählten Benutzer wirklich entfernen?</translation>
    </message>
    <message>
        <source>DB remove user</source>
        <translation>DB Benutzer entfernen</translation>
    </message>
    <message>
        <source>Import file: &apos;%1&apos;</source>
        <translation>Importdatei: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Do not import</source>
        <translation>Nicht importieren</translation>
    </message>
    <message>
        <source>The first line of this file holds no column names separated by &apos;;&apos; or &apos;,&apos;.
Is it a user list in CSV form?</source>
        <translation>Die erste Zeile dieser Datei enthält keine durch &apos;;&apos; oder &apos;,&apos; getrennten Spaltennamen.
Ist sie eine Benutzerliste im CSV-Format?</translation>
    </message>
    <message>
        <source>Import User List from File</source>
        <translation>Benutzerliste aus Datei importieren</translation>
    </message>
    <message>
        <source>Cannot open import file</source>
        <translation>Importdatei kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Add user</source>
        <translation>Benutzer hinzufügen</translation>
    </message>
    <message>
        <source>Edit selected user</source>
        <translation>Ausgewählten Benutzer bearbeiten</translation>
    </message>
    <message>
        <source>Remove selected user</source>
        <translation>Ausgewählte Benutzer entfernen</translation>
    </message>
    <message>
        <source>Choose the sorting order</source>
        <translation>Die Sortierung wählen</translation>
    </message>
    <message>
        <source>Read IDD for search term</source>
        <translation>IDD als Suchbegriff lesen</translation>
    </message>
    <message>
        <source>The user administration distinguishes between logical and physical information:

Logical information is the last and first name of a user, the user group and an optional comment. The combination of last and first name must be unique.

Physical information is the IDD of at most one short range (HF) transponder and at most one long range (UHF) transponder per user, each with an optional comment. Users can be created without transponders and get them later.

The table can be sorted by different rules: choose one under &apos;Sort by&apos;; the arrow beside it switches between ascending and descending order.</source>
        <translation>Die Benutzerverwaltung unterscheidet zwischen logischen und physischen Angaben:

Logische Angaben sind Nach- und Vorname eines Benutzers, die Benutzergruppe und ein optionaler Kommentar. Die Kombination aus Nach- und Vorname muss eindeutig sein.

Physische Angaben sind die IDD von höchstens einem Nahbereichstransponder (HF) und höchstens einem Fernbereichstransponder (UHF) je Benutzer, jeweils mit optionalem Kommentar. Benutzer können ohne Transponder angelegt werden und diese später erhalten.

Die Tabelle kann nach verschiedenen Regeln sortiert werden: wählen Sie eine unter &apos;Sortieren nach&apos;; der Pfeil daneben wechselt zwischen aufsteigender und absteigender Reihenfolge.</translation>
    </message>
    <message>
        <source>The import into the user table from external sources happens via an Excel file (*.csv)

This import file must have exactly ONE header line. The items of the header are used for the column assignment between import file and user table.

If there are no name columns in the import file, use the selection &apos;Auto&apos;.
If there is no user group column in the import file, use the selection &apos;Auto&apos;.

All lines of the import file must have the SAME column counts!
The column separator must be the semicolon sign (;).</source>
        <translation>Der Import in die Benutzertabelle aus externen Quellen erfolgt über eine Excel-Datei (*.csv)

Diese Importdatei muss genau EINE Kopfzeile haben. Die Einträge der Kopfzeile dienen der Spaltenzuordnung zwischen Importdatei und Benutzertabelle.

Wenn die Importdatei keine Namensspalten hat, wählen Sie &apos;Auto&apos;.
Wenn die Importdatei keine Benutzergruppenspalte hat, wählen Sie &apos;Auto&apos;.

Alle Zeilen der Importdatei müssen die GLEICHE Spaltenanzahl haben!
Das Spaltentrennzeichen muss das Semikolon (;) sein.</translation>
    </message>
    <message>
        <source>Perform the import
Prior to that you must assign the import file columns
to the user table columns.</source>
        <translation>Den Import ausführen
Zuvor müssen Sie die Spalten der Importdatei
den Spalten der Benutzertabelle zuordnen.</translation>
    </message>
    <message>
        <source>Close the import mode</source>
        <translation>Den Importmodus schließen</translation>
    </message>
    <message>
        <source>Open the import file with an extern application</source>
        <translation>Die Importdatei mit einer externen Anwendung öffnen</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a regular file; only a file is imported.</source>
        <translation>„%1“ ist keine gewöhnliche Datei; importiert wird nur aus einer Datei.</translation>
    </message>
    <message>
        <source>History…</source>
        <translation>Verlauf…</translation>
    </message>
    <message>
        <source>Last Seen</source>
        <translation>Zuletzt gesehen</translation>
    </message>
</context>
<context>
    <name>KelvaraWhyDialog</name>
    <message>
        <source>Why…?</source>
        <translation>Warum…?</translation>
    </message>
    <message>
        <source>&amp;At:</source>
        <translation>&amp;Zeitpunkt:</translation>
    </message>
    <message>
        <source>&amp;Now</source>
        <translation>&amp;Jetzt</translation>
    </message>
    <message>
        <source>No answer</source>
        <translation>Keine Antwort</translation>
    </message>
    <message>
        <source>The user no longer exists.</source>
        <translation>Den Benutzer gibt es nicht mehr.</translation>
    </message>
    <message>
        <source>User: %1    Entry: %2</source>
        <translation>Benutzer: %1    Zutritt: %2</translation>
    </message>
    <message>
        <source>Permitted</source>
        <translation>Erlaubt</translation>
    </message>
    <message>
        <source>Denied</source>
        <translation>Verweigert</translation>
    </message>
    <message>
        <source>The date and time to decide for. The reader decides by its own clock.</source>
        <translation>Datum und Uhrzeit, für die entschieden wird. Der Leser entscheidet nach seiner eigenen Uhr.</translation>
    </message>
    <message>
        <source>Decide for the current minute.</source>
        <translation>Für die aktuelle Minute entscheiden.</translation>
    </message>
    <message>
        <source>Why the reader permits or denies: the right and its time model, the period that covers the moment or the model&apos;s periods, holidays, a missing identifier or right, and whether the entry still waits for an update.</source>
        <translation>Warum der Leser erlaubt oder verweigert: das Recht und sein Zeitmodell, der Zeitraum, der den Zeitpunkt abdeckt, oder die Zeiträume des Modells, Feiertage, eine fehlende Kennung oder ein fehlendes Recht, und ob der Zutritt noch auf eine Aktualisierung wartet.</translation>
    </message>
</context>
<context>
    <name>KxDialogNetSetup</name>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Setup reader network configuration</source>
        <translation>Netzwerkkonfiguration des Lesers einstellen</translation>
    </message>
    <message>
        <source>Close the dialog and use the settings</source>
        <translation>Dialog schließen und die Einstellungen verwenden</translation>
    </message>
    <message>
        <source>Cancel the reader network configuration</source>
        <translation>Netzwerkkonfiguration des Lesers abbrechen</translation>
    </message>
    <message>
        <source>The %1 &quot;%2&quot; is not an IPv4 address: four numbers from 0 to 255 separated by dots.</source>
        <translation>Die Angabe %1 &quot;%2&quot; ist keine IPv4-Adresse: vier Zahlen von 0 bis 255, durch Punkte getrennt.</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>net mask</source>
        <translation>Netzmaske</translation>
    </message>
    <message>
        <source>gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>Setup network configuration</source>
        <translation>Netzwerkkonfiguration einstellen</translation>
    </message>
    <message>
        <source>The network configuration was not sent:

%1</source>
        <translation>Die Netzwerkkonfiguration wurde nicht gesendet:

%1</translation>
    </message>
    <message>
        <source>%1

Send the network configuration anyway?</source>
        <translation>%1

Die Netzwerkkonfiguration trotzdem senden?</translation>
    </message>
</context>
<context>
    <name>KxDiscoverNetworkReader</name>
    <message>
        <source>Network Interfaces</source>
        <translation>Netzwerkschnittstellen</translation>
    </message>
    <message>
        <source>Discovered Readers   ( UDP must not be blocked by your firewall ! )</source>
        <translation>Gefundene Leser   ( UDP darf von Ihrer Firewall nicht blockiert werden ! )</translation>
    </message>
    <message>
        <source>No LAN interface available: the discovery cannot run.</source>
        <translation>Keine LAN-Schnittstelle verfügbar: die Suche kann nicht laufen.</translation>
    </message>
    <message>
        <source>The discovery on %1 did not start (error %2): %3</source>
        <translation>Die Suche auf %1 wurde nicht gestartet (Fehler %2): %3</translation>
    </message>
</context>
<context>
    <name>KxDiscoverUdp</name>
    <message>
        <source>The address is not an IPv4 address</source>
        <translation>Die Adresse ist keine IPv4-Adresse</translation>
    </message>
</context>
<context>
    <name>KxDiscoverUsbReader</name>
    <message>
        <source>Discovered Readers</source>
        <translation>Gefundene Leser</translation>
    </message>
</context>
<context>
    <name>KxFindBar</name>
    <message>
        <source>Find:</source>
        <translation>Suchen:</translation>
    </message>
    <message>
        <source>User, group, entry, area or identifier</source>
        <translation>Benutzer, Gruppe, Zutritt, Bereich oder Kennung</translation>
    </message>
    <message>
        <source>Previous match (Shift+F3)</source>
        <translation>Vorheriger Treffer (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Next match (F3, Enter)</source>
        <translation>Nächster Treffer (F3, Eingabe)</translation>
    </message>
    <message>
        <source>Show only &amp;matches</source>
        <translation>Nur &amp;Treffer zeigen</translation>
    </message>
    <message>
        <source>Shows only the matching rows or columns; Escape shows all again</source>
        <translation>Zeigt nur die passenden Zeilen oder Spalten; Escape zeigt wieder alle</translation>
    </message>
    <message>
        <source>Close the find bar (Escape)</source>
        <translation>Suchleiste schließen (Escape)</translation>
    </message>
</context>
<context>
    <name>KxInputIpAddr</name>
    <message>
        <source>Use IP Address</source>
        <translation>IP-Adresse verwenden</translation>
    </message>
    <message>
        <source>Use Hostname.Domain</source>
        <translation>Hostname.Domain verwenden</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>Hostname.Domain</source>
        <translation>Hostname.Domain</translation>
    </message>
    <message>
        <source>Switch between IP address or hostname input</source>
        <translation>Zwischen Eingabe von IP-Adresse und Hostname umschalten</translation>
    </message>
    <message>
        <source>Input for an IPV4 address</source>
        <translation>Eingabe einer IPV4-Adresse</translation>
    </message>
    <message>
        <source>Input for the hostname of the reader
Enter the fully qualified domain name (FQDN), i.e. host name and domain,
e.g. door-north.plant.example.com</source>
        <translation>Eingabe des Hostnamens des Lesers
Geben Sie den vollständigen Domänennamen (FQDN) ein, d.h. Hostname und Domain,
z.B. door-north.plant.example.com</translation>
    </message>
    <message>
        <source>Input the port number
(default is 10001)</source>
        <translation>Eingabe der Portnummer
(Standard ist 10001)</translation>
    </message>
    <message>
        <source>LAN Setup</source>
        <translation>LAN-Einstellung</translation>
    </message>
    <message>
        <source>The reader&apos;s LAN configuration is changed.
Please change your DNS configuration before you continue!</source>
        <translation>Die LAN-Konfiguration des Lesers ist geändert.
Bitte ändern Sie Ihre DNS-Konfiguration, bevor Sie fortfahren!</translation>
    </message>
    <message>
        <source>The new network configuration was written; the reader restarts with it.</source>
        <translation>Die neue Netzwerkkonfiguration wurde geschrieben; der Leser startet damit neu.</translation>
    </message>
</context>
<context>
    <name>KxNetSetupCheck</name>
    <message>
        <source>The port %1 cannot be used; a reader listens on a port from 1 to 65535.</source>
        <translation>Der Port %1 ist nicht verwendbar; ein Leser hört auf einem Port von 1 bis 65535.</translation>
    </message>
    <message>
        <source>The net mask %1 is not contiguous: its one bits must all stand on the left (for example 255.255.255.0).</source>
        <translation>Die Netzmaske %1 ist nicht zusammenhängend: ihre Einsen müssen alle links stehen (zum Beispiel 255.255.255.0).</translation>
    </message>
    <message>
        <source>The IP address %1 cannot be given to a reader (it is not a host address of its subnet).</source>
        <translation>Die IP-Adresse %1 kann keinem Leser gegeben werden (sie ist keine Host-Adresse ihres Subnetzes).</translation>
    </message>
    <message>
        <source>The IP address %1 is outside the subnet %2 of the chosen interface; this computer will not reach the reader there.</source>
        <translation>Die IP-Adresse %1 liegt außerhalb des Subnetzes %2 der gewählten Schnittstelle; dieser Computer erreicht den Leser dort nicht.</translation>
    </message>
    <message>
        <source>The IP address %1 already answers the discovery: another reader uses it.</source>
        <translation>Die IP-Adresse %1 antwortet bereits auf die Suche: ein anderer Leser verwendet sie.</translation>
    </message>
    <message>
        <source>The gateway %1 is outside the reader&apos;s subnet %2; the reader could not reach it.</source>
        <translation>Das Gateway %1 liegt außerhalb des Subnetzes %2 des Lesers; der Leser könnte es nicht erreichen.</translation>
    </message>
</context>
<context>
    <name>KxNetSetupFlow</name>
    <message>
        <source>Setup network configuration</source>
        <translation>Netzwerkkonfiguration einstellen</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The new network configuration was not applied.</source>
        <translation>Die neue Netzwerkkonfiguration wurde nicht übernommen.</translation>
    </message>
    <message>
        <source>The reader acknowledged the new network configuration and restarts with it.
The table shows its new state as soon as it answers the discovery again.</source>
        <translation>Der Leser hat die neue Netzwerkkonfiguration bestätigt und startet damit neu.
Die Tabelle zeigt seinen neuen Zustand, sobald er wieder auf die Suche antwortet.</translation>
    </message>
</context>
<context>
    <name>KxNetSetupReader</name>
    <message>
        <source>The reader is busy</source>
        <translation>Der Leser ist beschäftigt</translation>
    </message>
    <message>
        <source>No valid IP address or host name is given</source>
        <translation>Keine gültige IP-Adresse und kein Hostname angegeben</translation>
    </message>
    <message>
        <source>Unsupported reader type</source>
        <translation>Nicht unterstützter Lesertyp</translation>
    </message>
</context>
<context>
    <name>KxSelectReader</name>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>LAN Setup</source>
        <translation>LAN-Einstellung</translation>
    </message>
    <message>
        <source>IP Address / Hostname</source>
        <translation>IP-Adresse / Hostname</translation>
    </message>
    <message>
        <source>Select reader</source>
        <translation>Leser auswählen</translation>
    </message>
    <message>
        <source>Close the dialog and use the selected reader</source>
        <translation>Dialog schließen und den ausgewählten Leser verwenden</translation>
    </message>
    <message>
        <source>Cancel the reader selection dialog</source>
        <translation>Leserauswahl abbrechen</translation>
    </message>
    <message>
        <source>Change the LAN configuration of the selected reader.
After successfully configuration change the reader will perform a system reset.</source>
        <translation>Die LAN-Konfiguration des ausgewählten Lesers ändern.
Nach erfolgreicher Änderung der Konfiguration führt der Leser einen Systemneustart aus.</translation>
    </message>
    <message>
        <source>Select Reader</source>
        <translation>Leser auswählen</translation>
    </message>
    <message>
        <source>No reader via LAN available</source>
        <translation>Kein Leser über LAN verfügbar</translation>
    </message>
    <message>
        <source>No reader via USB available</source>
        <translation>Kein Leser über USB verfügbar</translation>
    </message>
    <message>
        <source>Reader Type Mismatch</source>
        <translation>Lesertyp passt nicht</translation>
    </message>
    <message>
        <source>The selected IP address / hostname points to reader:
   %1
   Device ID: %2
   MAC address: %3

This does not fit to the reader type filter (see dialog titlebar).</source>
        <translation>Die ausgewählte IP-Adresse / der Hostname zeigt auf den Leser:
   %1
   Geräte-ID: %2
   MAC-Adresse: %3

Dieser passt nicht zum Lesertyp-Filter (siehe Titelleiste des Dialogs).</translation>
    </message>
    <message>
        <source>Scan LAN</source>
        <translation>Suche LAN</translation>
    </message>
    <message>
        <source>Scan USB</source>
        <translation>Suche USB</translation>
    </message>
</context>
<context>
    <name>KxTableNetInterfaces</name>
    <message>
        <source>IP address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>NET mask</source>
        <translation>Netzmaske</translation>
    </message>
    <message>
        <source>MAC address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>This table shows all available LAN interfaces of your PC for IPV4.
In case of multiple interfaces you have to select one for discovering.</source>
        <translation>Diese Tabelle zeigt alle verfügbaren LAN-Schnittstellen Ihres PCs für IPV4.
Bei mehreren Schnittstellen müssen Sie eine für die Suche auswählen.</translation>
    </message>
    <message>
        <source>No LAN interface available</source>
        <translation>Keine LAN-Schnittstelle verfügbar</translation>
    </message>
</context>
<context>
    <name>KxTableNetReaders</name>
    <message>
        <source>Reader Type</source>
        <translation>Lesertyp</translation>
    </message>
    <message>
        <source>Device ID</source>
        <translation>Geräte-ID</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>IP-Address : Port</source>
        <translation>IP-Adresse : Port</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>NET-Mask</source>
        <translation>Netzmaske</translation>
    </message>
    <message>
        <source>MAC-Address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>This table shows the discovered readers on the selected LAN interface.
In the dialog titlebar you see the reader type filter for discovering. This filter depends on the application context.
Make sure that UDP is not blocked by your firewall!
Via the context menu you can change the LAN configuration of the selected reader.</source>
        <translation>Diese Tabelle zeigt die gefundenen Leser an der ausgewählten LAN-Schnittstelle.
In der Titelleiste des Dialogs sehen Sie den Lesertyp-Filter für die Suche. Dieser Filter hängt vom Anwendungszusammenhang ab.
Stellen Sie sicher, dass UDP nicht von Ihrer Firewall blockiert wird!
Über das Kontextmenü können Sie die LAN-Konfiguration des ausgewählten Lesers ändern.</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>Static IP-Address</source>
        <translation>Statische IP-Adresse</translation>
    </message>
    <message>
        <source>, Security Mode On</source>
        <translation>, Sicherheitsmodus ein</translation>
    </message>
    <message>
        <source>, DNS On</source>
        <translation>, DNS ein</translation>
    </message>
    <message>
        <source>LAN Setup</source>
        <translation>LAN-Einstellung</translation>
    </message>
</context>
<context>
    <name>KxTableUsbReaders</name>
    <message>
        <source>Reader Type</source>
        <translation>Lesertyp</translation>
    </message>
    <message>
        <source>Device ID</source>
        <translation>Geräte-ID</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>This table shows the discovered readers on the USB interface.
In the dialog titlebar you see the reader type filter for discovering. This filter depends on the application context.
Please close all applications which keep a USB connection to the readers open!
Via the context menu you can change the LAN configuration of the selected reader.</source>
        <translation>Diese Tabelle zeigt die gefundenen Leser an der USB-Schnittstelle.
In der Titelleiste des Dialogs sehen Sie den Lesertyp-Filter für die Suche. Dieser Filter hängt vom Anwendungszusammenhang ab.
Bitte schließen Sie alle Anwendungen, die eine USB-Verbindung zu den Lesern offen halten!
Über das Kontextmenü können Sie die LAN-Konfiguration des ausgewählten Lesers ändern.</translation>
    </message>
    <message>
        <source>LAN Setup</source>
        <translation>LAN-Einstellung</translation>
    </message>
    <message>
        <source>The new network configuration was written; the reader restarts with it.</source>
        <translation>Die neue Netzwerkkonfiguration wurde geschrieben; der Leser startet damit neu.</translation>
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
    <name>KxWidgetNetSetup</name>
    <message>
        <source>change</source>
        <translation>ändern</translation>
    </message>
    <message>
        <source>Enable DHCP</source>
        <translation>DHCP aktivieren</translation>
    </message>
    <message>
        <source>Reader Type:</source>
        <translation>Lesertyp:</translation>
    </message>
    <message>
        <source>MAC-Address:</source>
        <translation>MAC-Adresse:</translation>
    </message>
    <message>
        <source>Device-ID:</source>
        <translation>Geräte-ID:</translation>
    </message>
    <message>
        <source>IP-Address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>NET-Mask</source>
        <translation>Netzmaske</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Enable changing the IP address</source>
        <translation>Änderung der IP-Adresse freigeben</translation>
    </message>
    <message>
        <source>Enter the new IP address</source>
        <translation>Neue IP-Adresse eingeben</translation>
    </message>
    <message>
        <source>Enable changing the network mask</source>
        <translation>Änderung der Netzmaske freigeben</translation>
    </message>
    <message>
        <source>Enter the new network mask</source>
        <translation>Neue Netzmaske eingeben</translation>
    </message>
    <message>
        <source>Enable changing the gateway (i.e. router IP address)</source>
        <translation>Änderung des Gateways (d.h. der Router-IP-Adresse) freigeben</translation>
    </message>
    <message>
        <source>Enter the new gateway (i.e. router IP address)</source>
        <translation>Neues Gateway (d.h. Router-IP-Adresse) eingeben</translation>
    </message>
    <message>
        <source>Enable changing the port number</source>
        <translation>Änderung der Portnummer freigeben</translation>
    </message>
    <message>
        <source>Enter the new port number</source>
        <translation>Neue Portnummer eingeben</translation>
    </message>
    <message>
        <source>Enable DHCP
The reader will get its whole network configuration from a DHCP server.</source>
        <translation>DHCP aktivieren
Der Leser erhält seine gesamte Netzwerkkonfiguration von einem DHCP-Server.</translation>
    </message>
</context>
<context>
    <name>MyImportUsers</name>
    <message>
        <source>Import User List</source>
        <translation>Import Benutzerliste</translation>
    </message>
    <message>
        <source>Nothing imported: the file is empty.</source>
        <translation>Nichts importiert: Die Datei ist leer.</translation>
    </message>
    <message>
        <source>Nothing imported: the file holds no line after its header.</source>
        <translation>Nichts importiert: Die Datei enthält nach ihrer Kopfzeile keine Zeile.</translation>
    </message>
    <message>
        <source>Nothing imported
Please check the column assignments.</source>
        <translation>Nichts importiert
Bitte prüfen Sie die Spaltenzuordnungen.</translation>
    </message>
    <message>
        <source>Line %1%2: &apos;%3&apos;</source>
        <translation>Zeile %1%2: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>The list needs the columns LastName and FirstName in its header.</source>
        <translation>Die Liste braucht die Spalten LastName und FirstName in ihrer Kopfzeile.</translation>
    </message>
    <message>
        <source>Line %1 has %2 fields, the header %3.</source>
        <translation>Zeile %1 hat %2 Felder, die Kopfzeile %3.</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>Line %1 (%2, %3): &apos;%4&apos; is no identifier of up to %5 hexadecimal digits.</source>
        <translation>Zeile %1 (%2, %3): „%4“ ist keine Kennung aus bis zu %5 hexadezimalen Ziffern.</translation>
    </message>
    <message numerus="yes">
        <source>%n user entries imported from file</source>
        <translation>
            <numerusform>%n Benutzereintrag aus der Datei importiert</numerusform>
            <numerusform>%n Benutzereinträge aus der Datei importiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n lines not imported (other column count, no name and no valid IDD, a control character in a name, or name or IDD already in the project): line %1</source>
        <translation>
            <numerusform>%n Zeile nicht importiert (andere Spaltenzahl, kein Name und keine gültige IDD, ein Steuerzeichen in einem Namen, oder Name oder IDD schon im Projekt): Zeile %1</numerusform>
            <numerusform>%n Zeilen nicht importiert (andere Spaltenzahl, kein Name und keine gültige IDD, ein Steuerzeichen in einem Namen, oder Name oder IDD schon im Projekt): Zeilen %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n IDDs left out: they are no hexadecimal numbers of up to %1 digits:</source>
        <translation>
            <numerusform>%n IDD ausgelassen: sie ist keine Hexadezimalzahl mit bis zu %1 Ziffern:</numerusform>
            <numerusform>%n IDDs ausgelassen: sie sind keine Hexadezimalzahlen mit bis zu %1 Ziffern:</numerusform>
        </translation>
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
    <message>
        <source>Wrong reader: the reader at %1 is %2 (device ID %3), but the entry names %4 (device ID %5). Addresses swapped or reader replaced? Nothing was sent to it.</source>
        <translation>Falscher Leser: Der Leser unter %1 ist ein %2 (Geräte-ID %3), der Zutritt nennt aber %4 (Geräte-ID %5). Adressen vertauscht oder Leser ersetzt? Es wurde nichts an ihn gesendet.</translation>
    </message>
</context>
<context>
    <name>ProjectActions</name>
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
        <source>The name

%1

cannot be used as a project folder name.</source>
        <translation>Der Name

%1

kann nicht als Name eines Projektordners verwendet werden.</translation>
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
        <source>The archive unpacks to %1 MB, but the disk of

%2

has only %3 MB free.
Nothing was restored.</source>
        <translation>Das Archiv wird entpackt %1 MB groß, aber der Datenträger von

%2

hat nur %3 MB frei.
Es wurde nichts wiederhergestellt.</translation>
    </message>
    <message>
        <source>
Nothing was restored.</source>
        <translation>
Es wurde nichts wiederhergestellt.</translation>
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
    <message>
        <source>No recent projects</source>
        <translation>Keine zuletzt geöffneten Projekte</translation>
    </message>
    <message>
        <source>Open Recent Project</source>
        <translation>Zuletzt geöffnetes Projekt öffnen</translation>
    </message>
    <message>
        <source>The project

%1

no longer exists or is no valid project. It was removed from the list of recent projects.</source>
        <translation>Das Projekt

%1

existiert nicht mehr oder ist kein gültiges Projekt. Es wurde aus der Liste der zuletzt geöffneten Projekte entfernt.</translation>
    </message>
    <message>
        <source>

The archive program did not finish in time and was stopped.</source>
        <translation>

Das Archivprogramm wurde nicht rechtzeitig fertig und wurde beendet.</translation>
    </message>
    <message>
        <source>This is the first start of Kelvara-Manager on this computer.

Do you want to configure some general settings now?

(In case of &apos;No&apos; you can do that later under
&apos;Settings&apos; -&gt; &apos;General Settings&apos;).</source>
        <translation>Dies ist der erste Start des Kelvara-Managers auf diesem Computer.

Möchten Sie jetzt einige allgemeine Einstellungen vornehmen?

(Bei &apos;Nein&apos; können Sie das später unter
&apos;Einstellungen&apos; -&gt; &apos;Allgemeine Einstellungen&apos; tun).</translation>
    </message>
    <message>
        <source>Do you first want to create a demo project?

(In case of &apos;Yes&apos; you can later create your own project under
&apos;File&apos; -&gt; &apos;New Project&apos;).</source>
        <translation>Möchten Sie zuerst ein Demoprojekt anlegen?

(Bei &apos;Ja&apos; können Sie Ihr eigenes Projekt später unter
&apos;Datei&apos; -&gt; &apos;Neues Projekt&apos; anlegen).</translation>
    </message>
    <message>
        <source>Create new server project</source>
        <translation>Neues Serverprojekt anlegen</translation>
    </message>
    <message>
        <source>New server project created in path

%1

Its database is %2.</source>
        <translation>Neues Serverprojekt im Pfad

%1

angelegt. Seine Datenbank ist %2.</translation>
    </message>
    <message>
        <source>The database holds tables, but no Kelvara Manager project. Choose an empty database or one made with &quot;kelvara-cli server init&quot;. Nothing was written.</source>
        <translation>Die Datenbank enthält Tabellen, aber kein Projekt des Kelvara Manager. Wählen Sie eine leere Datenbank oder eine mit „kelvara-cli server init“ angelegte. Nichts wurde geschrieben.</translation>
    </message>
    <message>
        <source>The database %1 is empty.

Create a new Kelvara Manager project in it, with the roles administrator, operator and viewer?</source>
        <translation>Die Datenbank %1 ist leer.

Darin ein neues Projekt des Kelvara Manager anlegen, mit den Rollen Administrator, Bediener und Betrachter?</translation>
    </message>
</context>
<context>
    <name>ProjectCopy</name>
    <message>
        <source>The table &quot;%1&quot; is none of a project.</source>
        <translation>Die Tabelle &quot;%1&quot; gehört zu keinem Projekt.</translation>
    </message>
    <message>
        <source>The column &quot;%1&quot; of the table %2 is none of a project.</source>
        <translation>Die Spalte &quot;%1&quot; der Tabelle %2 gehört zu keinem Projekt.</translation>
    </message>
    <message>
        <source>The table %1 has no columns.</source>
        <translation>Die Tabelle %1 hat keine Spalten.</translation>
    </message>
    <message>
        <source>The project cannot be read: %1</source>
        <translation>Das Projekt kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The target&apos;s tables (%1) are not the project&apos;s (%2).</source>
        <translation>Die Tabellen des Ziels (%1) sind nicht die des Projekts (%2).</translation>
    </message>
    <message>
        <source>The target&apos;s table %1 has other columns.</source>
        <translation>Die Tabelle %1 des Ziels hat andere Spalten.</translation>
    </message>
    <message>
        <source>Table %1: %2</source>
        <translation>Tabelle %1: %2</translation>
    </message>
    <message>
        <source>The copy cannot be read back: %1</source>
        <translation>Die Kopie kann nicht zurückgelesen werden: %1</translation>
    </message>
    <message>
        <source>The copy of table %1 differs from the project; nothing was copied.</source>
        <translation>Die Kopie der Tabelle %1 weicht vom Projekt ab; es wurde nichts kopiert.</translation>
    </message>
    <message>
        <source>%1 already exists; copy into a new folder.</source>
        <translation>%1 besteht bereits; kopieren Sie in einen neuen Ordner.</translation>
    </message>
    <message>
        <source>Cannot create project path

%1</source>
        <translation>Der Projektordner kann nicht angelegt werden

%1</translation>
    </message>
    <message>
        <source>The database %1 is not empty; a project is copied only into an empty database.</source>
        <translation>Die Datenbank %1 ist nicht leer; ein Projekt wird nur in eine leere Datenbank kopiert.</translation>
    </message>
    <message>
        <source>
Upgrade it first with
  kelvara-cli upgrade --project &apos;%1&apos;</source>
        <translation>
Aktualisieren Sie es zuerst mit
  kelvara-cli upgrade --project &apos;%1&apos;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a project folder.</source>
        <translation>&apos;%1&apos; ist kein Projektordner.</translation>
    </message>
</context>
<context>
    <name>ProjectDatabase</name>
    <message>
        <source>The database driver for PostgreSQL is not installed (Debian package libqt5sql5-psql).</source>
        <translation>Der Datenbanktreiber für PostgreSQL ist nicht installiert (Debian-Paket libqt5sql5-psql).</translation>
    </message>
    <message>
        <source>The server %1 refused the sign-in of &quot;%2&quot;: a password is needed or the one given is wrong. Put it in the password file (~/.pgpass) or in PGPASSWORD. (%3)</source>
        <translation>Der Server %1 hat die Anmeldung von „%2“ abgelehnt: Ein Passwort ist nötig oder das angegebene ist falsch. Hinterlegen Sie es in der Passwortdatei (~/.pgpass) oder in PGPASSWORD. (%3)</translation>
    </message>
    <message>
        <source>The server %1 cannot be reached or refused the connection: %2</source>
        <translation>Der Server %1 ist nicht erreichbar oder hat die Verbindung abgelehnt: %2</translation>
    </message>
</context>
<context>
    <name>ProjectParameters</name>
    <message>
        <source>A project uses short range or long range transponders, or both: switch one on.</source>
        <translation>Ein Projekt verwendet Nah- oder Fernbereichstransponder oder beide: Schalten Sie eine Technik ein.</translation>
    </message>
    <message>
        <source>ISO 15693 is a short range technology: switch short range on for it.</source>
        <translation>ISO 15693 ist eine Nahbereichstechnik: Schalten Sie dafür den Nahbereich ein.</translation>
    </message>
    <message>
        <source>The project has entries: a technology it uses cannot be switched off.</source>
        <translation>Das Projekt hat Zutritte: Eine Technik, die es verwendet, lässt sich nicht abschalten.</translation>
    </message>
    <message>
        <source>The short range identifier length cannot shrink below %1 bytes: the readers would no longer match the stored identifiers.</source>
        <translation>Die Länge der Nahbereichskennungen kann nicht unter %1 Bytes sinken: Die Leser fänden die gespeicherten Kennungen nicht mehr.</translation>
    </message>
    <message>
        <source>An identifier length is %1 to %2 bytes.</source>
        <translation>Eine Kennungslänge beträgt %1 bis %2 Bytes.</translation>
    </message>
    <message>
        <source>ISO 15693 identifiers have 8 bytes: the short range length must be 8 or more.</source>
        <translation>Kennungen nach ISO 15693 haben 8 Bytes: Die Nahbereichslänge muss 8 oder mehr betragen.</translation>
    </message>
    <message>
        <source>The relay hold time is 0 to %1 seconds.</source>
        <translation>Die Haltezeit des Relais beträgt 0 bis %1 Sekunden.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no time zone known here.</source>
        <translation>„%1“ ist keine hier bekannte Zeitzone.</translation>
    </message>
    <message>
        <source>Events are kept for 0 (for ever) to %1 days.</source>
        <translation>Ereignisse werden 0 (unbegrenzt) bis %1 Tage aufbewahrt.</translation>
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
    <name>ProjectUpgrade</name>
    <message>
        <source>The project folder %1 is on a read-only disk.</source>
        <translation>Der Projektordner %1 liegt auf einem schreibgeschützten Datenträger.</translation>
    </message>
    <message>
        <source>The project folder %1 or its database cannot be written.</source>
        <translation>Der Projektordner %1 oder seine Datenbank kann nicht beschrieben werden.</translation>
    </message>
    <message>
        <source>The backup cannot be written beside the project, in %1.</source>
        <translation>Die Sicherung kann nicht neben das Projekt in %1 geschrieben werden.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a project folder.</source>
        <translation>&apos;%1&apos; ist kein Projektordner.</translation>
    </message>
    <message>
        <source> The upgrade was not attempted.</source>
        <translation> Die Aktualisierung wurde nicht versucht.</translation>
    </message>
    <message>
        <source>The project is in use by another program.</source>
        <translation>Das Projekt wird von einem anderen Programm verwendet.</translation>
    </message>
    <message>
        <source>The project is in use by %1.</source>
        <translation>Das Projekt wird von %1 verwendet.</translation>
    </message>
    <message>
        <source>The project database is in use by another program.</source>
        <translation>Die Projektdatenbank wird von einem anderen Programm verwendet.</translation>
    </message>
    <message>
        <source>The backup %1 could not be written (return code %2). The project was not changed.</source>
        <translation>Die Sicherung %1 konnte nicht geschrieben werden (Rückgabewert %2). Das Projekt wurde nicht geändert.</translation>
    </message>
    <message>
        <source>%1
The project was not changed; the backup %2 stays.</source>
        <translation>%1
Das Projekt wurde nicht geändert; die Sicherung %2 bleibt erhalten.</translation>
    </message>
    <message>
        <source>Only an administrator of the server project may upgrade it; the project was not changed.</source>
        <translation>Nur ein Verwalter des Serverprojekts darf es aktualisieren; das Projekt wurde nicht geändert.</translation>
    </message>
    <message>
        <source>The backup copy of the server project into the folder project %1 failed: %2
The project was not changed.</source>
        <translation>Die Sicherungskopie des Serverprojekts in das Ordnerprojekt %1 ist fehlgeschlagen: %2
Das Projekt wurde nicht geändert.</translation>
    </message>
    <message>
        <source>%1
The project was not changed; the backup copy %2 (a folder project) stays.</source>
        <translation>%1
Das Projekt wurde nicht geändert; die Sicherungskopie %2 (ein Ordnerprojekt) bleibt erhalten.</translation>
    </message>
</context>
<context>
    <name>ProjectVersionGate</name>
    <message>
        <source>Open Project</source>
        <translation>Projekt öffnen</translation>
    </message>
    <message>
        <source>Upgrade Project</source>
        <translation>Projekt aktualisieren</translation>
    </message>
    <message>
        <source>The project

%1

was made by an older version of Kelvara Manager (schema version %2; this program uses %3).

Upgrade it now? A backup of the project folder is made first.</source>
        <translation>Das Projekt

%1

wurde von einer älteren Version des Kelvara Manager angelegt (Schemaversion %2; dieses Programm verwendet %3).

Jetzt aktualisieren? Zuerst wird eine Sicherung des Projektordners angelegt.</translation>
    </message>
    <message>
        <source>The project was upgraded to schema version %1.

The backup of the project as it was is

%2</source>
        <translation>Das Projekt wurde auf Schemaversion %1 aktualisiert.

Die Sicherung des bisherigen Projekts ist

%2</translation>
    </message>
    <message>
        <source>The database %1 on the server holds no Kelvara Manager project. An administrator of the server creates one with

kelvara-cli server init --host %2 --port %3 --db %4</source>
        <translation>Die Datenbank %1 auf dem Server enthält kein Projekt des Kelvara Manager. Ein Administrator des Servers legt eines an mit

kelvara-cli server init --host %2 --port %3 --db %4</translation>
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
    <message>
        <source>Holiday outside the years 2000 to 2099 a reader holds</source>
        <translation>Feiertag außerhalb der Jahre 2000 bis 2099, die ein Leser hält</translation>
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
    <message>
        <source>Cannot connect to the reader</source>
        <translation>Keine Verbindung zum Leser</translation>
    </message>
</context>
<context>
    <name>ReaderFirmware</name>
    <message>
        <source>Wrong Firmware Version</source>
        <translation>Falsche Firmware-Version</translation>
    </message>
    <message>
        <source>The available reader firmware version is &apos;%1&apos;
The required version is &apos;%2&apos;

Please perform a firmware update.</source>
        <translation>Die verfügbare Firmware-Version des Lesers ist &apos;%1&apos;
Die benötigte Version ist &apos;%2&apos;

Bitte führen Sie ein Firmware-Update durch.</translation>
    </message>
</context>
<context>
    <name>ReaderFunction</name>
    <message>
        <source>Update Access Configuration</source>
        <translation>Zutrittskonfiguration aktualisieren</translation>
    </message>
    <message>
        <source>Read Access Configuration</source>
        <translation>Zutrittskonfiguration lesen</translation>
    </message>
    <message>
        <source>Import Transponder</source>
        <translation>Transponder importieren</translation>
    </message>
    <message>
        <source>Read Events</source>
        <translation>Ereignisse lesen</translation>
    </message>
    <message>
        <source>Set Date and Time</source>
        <translation>Datum und Uhrzeit setzen</translation>
    </message>
    <message>
        <source>Write Reader Configuration</source>
        <translation>Leserkonfiguration schreiben</translation>
    </message>
    <message>
        <source>Verify Reader</source>
        <translation>Leser abgleichen</translation>
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
    <message>
        <source>The name &apos;%1&apos; holds a control character (a tab, a line break or a NUL byte); names cannot hold them.</source>
        <translation>Der Name „%1“ enthält ein Steuerzeichen (einen Tabulator, einen Zeilenumbruch oder ein NUL-Byte); Namen können keine enthalten.</translation>
    </message>
</context>
<context>
    <name>RightsAudit</name>
    <message>
        <source>Unable to read the access rights for the audit trail</source>
        <translation>Die Zutrittsrechte für den Änderungsverlauf können nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>RolePermissions</name>
    <message>
        <source>administrator</source>
        <translation>Administrator</translation>
    </message>
    <message>
        <source>operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>viewer</source>
        <translation>Betrachter</translation>
    </message>
    <message>
        <source>no role of this project</source>
        <translation>keine Rolle dieses Projekts</translation>
    </message>
    <message>
        <source>change rights</source>
        <translation>Rechte ändern</translation>
    </message>
    <message>
        <source>change users or identifiers</source>
        <translation>Benutzer oder Kennungen ändern</translation>
    </message>
    <message>
        <source>change entries or their readers&apos; configuration</source>
        <translation>Zutritte oder die Konfiguration ihrer Leser ändern</translation>
    </message>
    <message>
        <source>change time models or holidays</source>
        <translation>Zeitmodelle oder Feiertage ändern</translation>
    </message>
    <message>
        <source>change the project settings</source>
        <translation>die Projekteinstellungen ändern</translation>
    </message>
    <message>
        <source>run reader functions</source>
        <translation>Leserfunktionen ausführen</translation>
    </message>
    <message>
        <source>Your role (%1) may not %2.</source>
        <translation>Ihre Rolle (%1) darf nicht: %2.</translation>
    </message>
</context>
<context>
    <name>SchemaVersion</name>
    <message>
        <source>it carries no schema version.</source>
        <translation>sie trägt keine Schemaversion.</translation>
    </message>
    <message>
        <source>its schema version &quot;%1&quot; is no version number.</source>
        <translation>ihre Schemaversion „%1“ ist keine Versionsnummer.</translation>
    </message>
    <message>
        <source>it holds the view &quot;%1&quot;, which Kelvara Manager did not create.</source>
        <translation>sie enthält die Sicht „%1“, die der Kelvara Manager nicht angelegt hat.</translation>
    </message>
    <message>
        <source>it holds the trigger &quot;%1&quot;, which Kelvara Manager did not create and which could change what the readers receive.</source>
        <translation>sie enthält den Trigger „%1“, den der Kelvara Manager nicht angelegt hat und der ändern könnte, was die Leser erhalten.</translation>
    </message>
    <message>
        <source>This project was made by an older version of Kelvara Manager (schema version %1; this program uses %2). It must be upgraded before it can be opened.</source>
        <translation>Dieses Projekt wurde von einer älteren Version des Kelvara Manager angelegt (Schemaversion %1; dieses Programm verwendet %2). Es muss aktualisiert werden, bevor es geöffnet werden kann.</translation>
    </message>
    <message>
        <source>This project was made by a newer version of Kelvara Manager (schema version %1; this program knows up to %2). Open it with that version or a newer one; this program leaves it untouched.</source>
        <translation>Dieses Projekt wurde von einer neueren Version des Kelvara Manager angelegt (Schemaversion %1; dieses Programm kennt bis %2). Öffnen Sie es mit jener oder einer neueren Version; dieses Programm lässt es unverändert.</translation>
    </message>
    <message>
        <source>This project database cannot be opened: %1</source>
        <translation>Diese Projektdatenbank kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>This is no valid project database.</source>
        <translation>Dies ist keine gültige Projektdatenbank.</translation>
    </message>
    <message>
        <source>The project database is in use by another program.</source>
        <translation>Die Projektdatenbank wird von einem anderen Programm verwendet.</translation>
    </message>
    <message>
        <source>The project database cannot be read: %1</source>
        <translation>Die Projektdatenbank kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The upgrade step from schema version %1 to %2 (%3) failed: %4</source>
        <translation>Der Aktualisierungsschritt von Schemaversion %1 auf %2 (%3) ist fehlgeschlagen: %4</translation>
    </message>
    <message>
        <source>The schema version could not be written: %1</source>
        <translation>Die Schemaversion konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>it holds the function &quot;%1&quot;, which Kelvara Manager did not write.</source>
        <translation>sie enthält die Funktion „%1“, die nicht von Kelvara Manager stammt.</translation>
    </message>
</context>
<context>
    <name>ServerConnection</name>
    <message>
        <source>The server connection file &quot;%1&quot; cannot be read.</source>
        <translation>Die Server-Verbindungsdatei „%1“ kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The server connection file &quot;%1&quot; holds a password. Remove it: the password belongs in the password file (~/.pgpass) or is asked for when the project opens.</source>
        <translation>Die Server-Verbindungsdatei „%1“ enthält ein Passwort. Entfernen Sie es: Das Passwort gehört in die Passwortdatei (~/.pgpass) oder wird beim Öffnen des Projekts abgefragt.</translation>
    </message>
    <message>
        <source>The server connection file &quot;%1&quot; needs a host, a port from 1 to 65535, a database and an SSL mode (disable, allow, prefer, require, verify-ca or verify-full).</source>
        <translation>Die Server-Verbindungsdatei „%1“ braucht einen Host, einen Port von 1 bis 65535, eine Datenbank und einen SSL-Modus (disable, allow, prefer, require, verify-ca oder verify-full).</translation>
    </message>
    <message>
        <source>The server connection file &quot;%1&quot; cannot be written.</source>
        <translation>Die Server-Verbindungsdatei „%1“ kann nicht geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>ServerSchema</name>
    <message>
        <source>&quot;%1&quot; is no operator name: use lower-case letters, digits, &quot;_&quot;, &quot;.&quot; and &quot;-&quot;, starting with a letter (not &quot;pg_&quot; or &quot;kelvara_&quot;).</source>
        <translation>„%1“ ist kein Bedienername: Verwenden Sie Kleinbuchstaben, Ziffern, „_“, „.“ und „-“, beginnend mit einem Buchstaben (nicht „pg_“ oder „kelvara_“).</translation>
    </message>
    <message>
        <source>The role must be administrator, operator or viewer.</source>
        <translation>Die Rolle muss administrator, operator oder viewer sein.</translation>
    </message>
</context>
<context>
    <name>ServerSetup</name>
    <message>
        <source>%1 is no server connection.</source>
        <translation>%1 ist keine Serververbindung.</translation>
    </message>
    <message>
        <source>The project settings could not be saved.</source>
        <translation>Die Projekteinstellungen konnten nicht gespeichert werden.</translation>
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
</context>
<context>
    <name>ServerSignIn</name>
    <message>
        <source>The server %1 asks for the password of %2 for the database %3.</source>
        <translation>Der Server %1 verlangt das Passwort von %2 für die Datenbank %3.</translation>
    </message>
    <message>
        <source>The password was not accepted.</source>
        <translation>Das Passwort wurde nicht angenommen.</translation>
    </message>
    <message>
        <source>Sign in to the server</source>
        <translation>Am Server anmelden</translation>
    </message>
    <message>
        <source>The server %1 did not accept the password of %2.</source>
        <translation>Der Server %1 hat das Passwort von %2 nicht angenommen.</translation>
    </message>
    <message>
        <source>The project&apos;s database server %1 cannot be reached or refused the sign-in:

%2</source>
        <translation>Der Datenbankserver %1 des Projekts ist nicht erreichbar oder hat die Anmeldung abgelehnt:

%2</translation>
    </message>
</context>
<context>
    <name>ServerWatch</name>
    <message>
        <source>Changes of other workstations are not followed: the server does not answer. Connecting again…</source>
        <translation>Änderungen anderer Arbeitsplätze werden nicht verfolgt: Der Server antwortet nicht. Neue Verbindung wird aufgebaut…</translation>
    </message>
    <message>
        <source>The connection to the server was lost: changes of other workstations are not shown. Connecting again…</source>
        <translation>Die Verbindung zum Server ist abgebrochen: Änderungen anderer Arbeitsplätze werden nicht angezeigt. Neue Verbindung wird aufgebaut…</translation>
    </message>
    <message>
        <source>The server did not answer again: changes of other workstations are not shown. Open the project again to follow them.</source>
        <translation>Der Server hat nicht wieder geantwortet: Änderungen anderer Arbeitsplätze werden nicht angezeigt. Öffnen Sie das Projekt erneut, um sie zu verfolgen.</translation>
    </message>
</context>
<context>
    <name>TimeModel</name>
    <message>
        <source>No model definition given</source>
        <translation>Keine Modelldefinition angegeben</translation>
    </message>
    <message>
        <source>A time model has at most %1 periods; &apos;%2&apos; has %3.</source>
        <translation>Ein Zeitmodell hat höchstens %1 Zeiträume; „%2“ hat %3.</translation>
    </message>
    <message>
        <source>Period %1 &apos;%2&apos; is not of the form mon,tue-07:00-19:00 (days sun mon tue wed thu fri sat hol, times 00:00 to 24:00).</source>
        <translation>Zeitraum %1 „%2“ hat nicht die Form mon,tue-07:00-19:00 (Tage sun mon tue wed thu fri sat hol, Zeiten 00:00 bis 24:00).</translation>
    </message>
    <message>
        <source>Period %1 &apos;%2&apos; ends before it begins.</source>
        <translation>Zeitraum %1 „%2“ endet, bevor er beginnt.</translation>
    </message>
    <message>
        <source>No access at any time: the definition needs a period with days.</source>
        <translation>Zu keiner Zeit Zutritt: Die Definition braucht einen Zeitraum mit Tagen.</translation>
    </message>
</context>
<context>
    <name>TimeModelRecords</name>
    <message>
        <source>The time model *** (always) cannot be changed or removed.</source>
        <translation>Das Zeitmodell *** (immer) lässt sich weder ändern noch entfernen.</translation>
    </message>
    <message>
        <source>No model tag given</source>
        <translation>Keine Modellkennung angegeben</translation>
    </message>
    <message>
        <source>Illegal model tag</source>
        <translation>Unzulässige Modellkennung</translation>
    </message>
    <message>
        <source>No model name given</source>
        <translation>Kein Modellname angegeben</translation>
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
    <name>UpdateCheck</name>
    <message>
        <source>no reader: the entry has neither address, device ID nor the USB flash drive route</source>
        <translation>kein Leser: der Zutritt hat weder Adresse noch Geräte-ID noch den Weg über den USB-Stick</translation>
    </message>
    <message>
        <source>reader type %1 holds no access tables</source>
        <translation>Lesertyp %1 hält keine Zutrittstabellen</translation>
    </message>
    <message>
        <source>time windows needed: %1 of %2 a reader holds (over by the models %3)</source>
        <translation>benötigte Zeitfenster: %1 von %2, die ein Leser hält (überschritten durch die Modelle %3)</translation>
    </message>
    <message>
        <source>upcoming holidays: %1 of %2 a reader holds (%3 and later do not fit)</source>
        <translation>kommende Feiertage: %1 von %2, die ein Leser hält (ab %3 passen sie nicht mehr)</translation>
    </message>
    <message>
        <source>identifiers: %1 of %2 the reader type holds</source>
        <translation>Kennungen: %1 von %2, die der Lesertyp hält</translation>
    </message>
    <message>
        <source>identifiers shorter than the project length of %1 bytes: %2 (%3)</source>
        <translation>Kennungen kürzer als die Projektlänge von %1 Bytes: %2 (%3)</translation>
    </message>
    <message>
        <source>identifiers held by another user as well, left out: %1 (%2)</source>
        <translation>Kennungen, die auch ein anderer Benutzer hält, ausgelassen: %1 (%2)</translation>
    </message>
    <message>
        <source>identifiers unreadable or blank, left out: %1 (%2)</source>
        <translation>Kennungen unlesbar oder leer, ausgelassen: %1 (%2)</translation>
    </message>
    <message>
        <source>users with rights but no short-range identifier: %1 (%2)</source>
        <translation>Benutzer mit Rechten, aber ohne Nahbereichskennung: %1 (%2)</translation>
    </message>
    <message>
        <source>users with rights but no long-range identifier: %1 (%2)</source>
        <translation>Benutzer mit Rechten, aber ohne Fernbereichskennung: %1 (%2)</translation>
    </message>
    <message>
        <source>time models with periods that mean never: %1</source>
        <translation>Zeitmodelle mit Abschnitten, die nie gelten: %1</translation>
    </message>
    <message>
        <source>holidays outside the years %1 to %2 a reader holds: %3</source>
        <translation>Feiertage außerhalb der Jahre %1 bis %2, die ein Leser hält: %3</translation>
    </message>
    <message>
        <source>identifier length %1 bytes, below %2: any card whose first %1 bytes are those of a user&apos;s would open the door</source>
        <translation>Kennungslänge %1 Bytes, unter %2: Jede Karte, deren erste %1 Bytes denen eines Benutzers gleichen, würde die Tür öffnen</translation>
    </message>
</context>
<context>
    <name>UserListSync</name>
    <message>
        <source>group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>short range identifier</source>
        <translation>Nahbereichskennung</translation>
    </message>
    <message>
        <source>short range comment</source>
        <translation>Nahbereichskommentar</translation>
    </message>
    <message>
        <source>long range identifier</source>
        <translation>Fernbereichskennung</translation>
    </message>
    <message>
        <source>long range comment</source>
        <translation>Fernbereichskommentar</translation>
    </message>
    <message>
        <source>Line %1: %2 is listed on line %3 already.</source>
        <translation>Zeile %1: %2 steht schon in Zeile %3.</translation>
    </message>
    <message>
        <source>Line %1: the identifier %2 is listed on line %3 already.</source>
        <translation>Zeile %1: Die Kennung %2 steht schon in Zeile %3.</translation>
    </message>
    <message>
        <source>Line %1 (%2): %3</source>
        <translation>Zeile %1 (%2): %3</translation>
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
    <message>
        <source>No family name given</source>
        <translation>Kein Nachname angegeben</translation>
    </message>
    <message>
        <source>No first name given</source>
        <translation>Kein Vorname angegeben</translation>
    </message>
    <message>
        <source>No group name given</source>
        <translation>Kein Gruppenname angegeben</translation>
    </message>
    <message>
        <source>A user named &apos;%1, %2&apos; already exists.</source>
        <translation>Ein Benutzer namens &apos;%1, %2&apos; existiert bereits.</translation>
    </message>
    <message>
        <source>The short range transponder %1 already belongs to &apos;%2&apos;.</source>
        <translation>Der Nahbereichstransponder %1 gehört bereits &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>The long range transponder %1 already belongs to &apos;%2&apos;.</source>
        <translation>Der Fernbereichstransponder %1 gehört bereits &apos;%2&apos;.</translation>
    </message>
</context>
</TS>
