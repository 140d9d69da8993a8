<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Drag the border of the window to resize the matrix.</source>
        <translation>Ziehen Sie am Fensterrand, um die Größe des Rasters zu ändern.</translation>
    </message>
    <message>
        <source>Click right or left mouse button on the icons to change them. There are some icons to be chosen if you click more than one time.</source>
        <translation>Klicken Sie mit der linken oder rechten Maustaste auf ein Symbol, um es zu wechseln. Mit jedem weiteren Klick kommt das nächste der verfügbaren Symbole.</translation>
    </message>
    <message>
        <source>Different matrix of the icons will generate totally different passwords long and secure enough when you press the OK button. <byte value="xd"/>
If you want to exit with out doing anything, just click the close button at the top-right corner of the window.</source>
        <translation>Jede Anordnung der Symbole ergibt ein völlig anderes Passwort, lang und sicher genug, sobald Sie auf OK klicken.<byte value="xd"/>
Um ohne weitere Schritte zu beenden, schließen Sie einfach das Fenster mit der Schaltfläche oben rechts.</translation>
    </message>
    <message>
        <source>You can design your own icons in the image to make it easier to remember.</source>
        <translation>Mit selbst gestalteten Symbolen können Sie sich Ihr Bild leichter merken.</translation>
    </message>
    <message>
        <source>To add new icons, place the GIF or JPG files named g.gif(g.jpg), h.gif(h.jpg) ..., to the folder of the program.</source>
        <translation>Für weitere Symbole legen Sie GIF- oder JPG-Dateien namens g.gif (g.jpg), h.gif (h.jpg) … in den Ordner des Programms.</translation>
    </message>
    <message>
        <source>To replace the 6 build-in icons, just place GIF or JPG files  named from a.gif(a.jpg) to f.gif(f.jpg) in the same folder with the program. If both the GIF and JPG files with the same name exist, the GIF file is used preferentially.</source>
        <translation>Um die 6 eingebauten Symbole zu ersetzen, legen Sie GIF- oder JPG-Dateien namens a.gif (a.jpg) bis f.gif (f.jpg) in den Ordner des Programms. Gibt es zu einem Namen eine GIF- und eine JPG-Datei, gilt die GIF-Datei.</translation>
    </message>
    <message>
        <source>WARNING: If you change the file name of an icon, the generated password may not correspond to the original image you have remembered before.</source>
        <translation>WARNUNG: Wenn Sie den Dateinamen eines Symbols ändern, passt das erzeugte Passwort womöglich nicht mehr zu dem Bild, das Sie sich gemerkt haben.</translation>
    </message>
    <message>
        <source> You&apos;d better setup an icon set before you generate passwords and keep use it constantly. Of course, just adding new icons is safe. And it will enhance the security.</source>
        <translation>Legen Sie Ihre Symbole am besten fest, bevor Sie Passwörter erzeugen, und bleiben Sie dann dabei. Neue Symbole hinzuzufügen ist natürlich unbedenklich und erhöht sogar die Sicherheit.</translation>
    </message>
    <message>
        <source>About Glyphlock</source>
        <translation>Über Glyphlock</translation>
    </message>
    <message>
        <source>Glyphlock Version 2.4</source>
        <translation>Glyphlock Version 2.4</translation>
    </message>
    <message>
        <source>Copyright (C) Tamsk</source>
        <translation>Copyright (C) Tamsk</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Usage</source>
        <extracomment>Heading of the notes on how to use the program.</extracomment>
        <translation>Bedienung</translation>
    </message>
    <message>
        <source>Tips</source>
        <extracomment>Heading of the advice on pictures and passwords.</extracomment>
        <translation>Tipps</translation>
    </message>
    <message>
        <source>&amp;Config...</source>
        <extracomment>Opens the dialog that sets the special characters of passwords.</extracomment>
        <translation>&amp;Einstellungen...</translation>
    </message>
</context>
<context>
    <name>HyperLink</name>
    <message>
        <source>The operating system is out
of memory or resources.</source>
        <translation>Dem Betriebssystem fehlt es
an Speicher oder Ressourcen.</translation>
    </message>
    <message>
        <source>The specified file was not found.</source>
        <translation>Die angegebene Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The specified path was not found.</source>
        <translation>Der angegebene Pfad wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The operating system denied
access to the specified file.</source>
        <translation>Das Betriebssystem hat den Zugriff
auf die angegebene Datei verweigert.</translation>
    </message>
    <message>
        <source>There was not enough memory to complete the operation.</source>
        <translation>Für diesen Vorgang war nicht genügend Speicher frei.</translation>
    </message>
    <message>
        <source>The .EXE file is invalid
(non-Win32 .EXE or error in .EXE image).</source>
        <translation>Die .EXE-Datei ist ungültig
(kein Win32-Programm oder fehlerhafte .EXE-Datei).</translation>
    </message>
    <message>
        <source>A sharing violation occurred. </source>
        <translation>Es ist eine Freigabeverletzung aufgetreten.</translation>
    </message>
    <message>
        <source>The filename association is
incomplete or invalid.</source>
        <translation>Die Dateizuordnung ist
unvollständig oder ungültig.</translation>
    </message>
    <message>
        <source>The DDE transaction could not
be completed because the request timed out.</source>
        <translation>Die DDE-Transaktion konnte nicht
abgeschlossen werden: Die Anfrage dauerte zu lange.</translation>
    </message>
    <message>
        <source>The DDE transaction failed.</source>
        <translation>Die DDE-Transaktion ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>The DDE transaction could not
be completed because other DDE transactions
were being processed.</source>
        <translation>Die DDE-Transaktion konnte nicht
abgeschlossen werden, weil gerade andere
DDE-Transaktionen verarbeitet wurden.</translation>
    </message>
    <message>
        <source>There is no application associated
with the given filename extension.</source>
        <translation>Mit dieser Dateiendung ist
kein Programm verknüpft.</translation>
    </message>
    <message>
        <source>The specified dynamic-link library was not found.</source>
        <translation>Die angegebene DLL wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Unknown Error (%1) occurred.</source>
        <translation>Unbekannter Fehler (%1).</translation>
    </message>
    <message>
        <source>Unable to open hyperlink:

</source>
        <translation>Der Link kann nicht geöffnet werden:

</translation>
    </message>
</context>
<context>
    <name>MatrixDialog</name>
    <message>
        <source>OK</source>
        <extracomment>Spoken name of the picture button that makes the password from the grid.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>About</source>
        <extracomment>Spoken name of the &quot;?&quot; picture button that opens the About box.</extracomment>
        <translation>Info</translation>
    </message>
    <message>
        <source>&amp;About Glyphlock and Usage...</source>
        <translation>Ü&amp;ber Glyphlock und Bedienung...</translation>
    </message>
    <message>
        <source>C&amp;onfigure...</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <extracomment>Takes back the last step of a grid cell.</extracomment>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Resource not ready. The program may be broken.</source>
        <translation>Die Ressourcen sind nicht verfügbar. Das Programm ist womöglich beschädigt.</translation>
    </message>
</context>
<context>
    <name>MatrixGrid</name>
    <message>
        <source>Icon grid</source>
        <translation>Symbolraster</translation>
    </message>
    <message>
        <source>Arrow keys, Home and End move between the cells; Space steps the cell to the next icon, Shift+Space or Backspace to the one before.</source>
        <translation>Pfeiltasten, Pos1 und Ende wechseln zwischen den Feldern; die Leertaste schaltet ein Feld zum nächsten Symbol weiter, Umschalt+Leertaste oder die Rücktaste zum vorigen.</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <source>Input password automatically:<byte value="xd"/>
Click in this area, keep the mouse button pressed, move the cursor to the password input box, then release the mouse button.</source>
        <translation>Passwort automatisch eingeben:<byte value="xd"/>
In diesen Bereich klicken, die Maustaste gedrückt halten, den Zeiger auf das Passwortfeld ziehen und dort loslassen.</translation>
    </message>
    <message>
        <source>If there&apos;re illegal characters in the password, config the character set by system menu &quot;Configure...&quot; or &quot;Config&quot; button on &quot;About&quot; dialog box</source>
        <translation>Enthält das Passwort unzulässige Zeichen, legen Sie die Sonderzeichen über „Einstellungen...“ im Fenstermenü oder mit der Schaltfläche „Einstellungen...“ im Infofenster fest.</translation>
    </message>
    <message>
        <source>Automatic input is not available on this display.<byte value="xd"/>
Use &quot;Copy to Clipboard&quot; and paste the password into the input box instead.</source>
        <translation>Die automatische Eingabe ist auf diesem Bildschirm nicht verfügbar.<byte value="xd"/>
Kopieren Sie das Passwort stattdessen in die Zwischenablage und fügen Sie es im Eingabefeld ein.</translation>
    </message>
    <message>
        <source>Nothing was typed: there is no input box where the mouse button was released.<byte value="xd"/>
Release it over the password input box, or use &quot;Copy to Clipboard&quot;.</source>
        <translation>Es wurde nichts eingegeben: Wo die Maustaste losgelassen wurde, ist kein Eingabefeld.<byte value="xd"/>
Lassen Sie sie über dem Passwortfeld los oder kopieren Sie das Passwort in die Zwischenablage.</translation>
    </message>
    <message>
        <source>The password could not be typed into that window.<byte value="xd"/>
Use &quot;Copy to Clipboard&quot; and paste it into the input box instead.</source>
        <translation>Das Passwort konnte nicht in dieses Fenster eingegeben werden.<byte value="xd"/>
Kopieren Sie es stattdessen in die Zwischenablage und fügen Sie es im Eingabefeld ein.</translation>
    </message>
    <message>
        <source>Input password automatically:<byte value="xd"/>
Click in this area, then click into the password input box of the other program.</source>
        <translation>Passwort automatisch eingeben:<byte value="xd"/>
In diesen Bereich klicken, dann in das Passwortfeld des anderen Programms klicken.</translation>
    </message>
    <message>
        <source>Now click into the password input box of the other program: the password is typed there.<byte value="xd"/>
Esc cancels; after 20 seconds this ends by itself.</source>
        <translation>Klicken Sie jetzt in das Passwortfeld des anderen Programms: Das Passwort wird dort eingegeben.<byte value="xd"/>
Esc bricht ab; nach 20 Sekunden endet dies von selbst.</translation>
    </message>
    <message>
        <source>Waiting for the desktop to allow automatic input...</source>
        <translation>Warten, bis die Arbeitsumgebung die automatische Eingabe erlaubt...</translation>
    </message>
    <message>
        <source>The password was typed into the other program.<byte value="xd"/>
Click in this area to type it again.</source>
        <translation>Das Passwort wurde in das andere Programm eingegeben.<byte value="xd"/>
Klicken Sie in diesen Bereich, um es erneut einzugeben.</translation>
    </message>
    <message>
        <source>The password holds characters that cannot be typed here; nothing was typed.<byte value="xd"/>
Use &quot;Copy to Clipboard&quot; and paste it into the input box instead.</source>
        <translation>Das Passwort enthält Zeichen, die hier nicht eingegeben werden können; es wurde nichts eingegeben.<byte value="xd"/>
Kopieren Sie es stattdessen in die Zwischenablage und fügen Sie es im Eingabefeld ein.</translation>
    </message>
    <message>
        <source>The desktop refused automatic input for Glyphlock.<byte value="xd"/>
Use &quot;Copy to Clipboard&quot; and paste the password into the input box instead.</source>
        <translation>Die Arbeitsumgebung hat Glyphlock die automatische Eingabe verweigert.<byte value="xd"/>
Kopieren Sie das Passwort stattdessen in die Zwischenablage und fügen Sie es im Eingabefeld ein.</translation>
    </message>
    <message>
        <source>Automatic input was declined in the desktop&apos;s dialog.<byte value="xd"/>
Click in this area to be asked again, or use &quot;Copy to Clipboard&quot;.</source>
        <translation>Die automatische Eingabe wurde im Dialog der Arbeitsumgebung abgelehnt.<byte value="xd"/>
Klicken Sie in diesen Bereich, um erneut gefragt zu werden, oder kopieren Sie das Passwort in die Zwischenablage.</translation>
    </message>
    <message>
        <source>This desktop keeps the clipboard only while Glyphlock runs: paste the password before you exit.</source>
        <translation>Diese Arbeitsumgebung behält die Zwischenablage nur, solange Glyphlock läuft: Fügen Sie das Passwort ein, bevor Sie das Programm beenden.</translation>
    </message>
    <message>
        <source>Show Generated Password</source>
        <translation>Erzeugtes Passwort anzeigen</translation>
    </message>
    <message>
        <source>The Password is :</source>
        <translation>Das Passwort lautet:</translation>
    </message>
    <message>
        <source>C&amp;opy to Clipboard</source>
        <translation>In die Zwischenablage &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Failed to access clipboard!</source>
        <translation>Kein Zugriff auf die Zwischenablage!</translation>
    </message>
</context>
<context>
    <name>SymbolSetDialog</name>
    <message>
        <source>Config</source>
        <extracomment>Title of the dialog that sets the special characters of passwords.</extracomment>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <extracomment>Stores the special characters typed above.</extracomment>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>What special characters can appear in the password:</source>
        <translation>Welche Sonderzeichen im Passwort vorkommen dürfen:</translation>
    </message>
    <message>
        <source>0~9, A~Z, a~z may appear by default. However, you may set any characters in above box to make your own password generation scheme.</source>
        <translation>Ziffern und Buchstaben (0~9, A~Z, a~z) kommen immer vor. Im Feld oben können Sie beliebige weitere Zeichen festlegen und so Ihr eigenes Schema für die Passwörter bestimmen.</translation>
    </message>
    <message>
        <source>&amp;Original</source>
        <extracomment>Puts the default special characters back into the box.</extracomment>
        <translation>Stan&amp;dard</translation>
    </message>
    <message>
        <source>This modification may influence the password generation algorithm. Your old password may NOT be generated after this. You&apos;d better write down the old password first, then update it to a new one by the new config.</source>
        <translation>Diese Änderung wirkt sich darauf aus, wie Passwörter erzeugt werden. Ihr bisheriges Passwort lässt sich danach womöglich NICHT mehr erzeugen. Notieren Sie es am besten vorher und ändern Sie es dann in ein neues, das mit der neuen Einstellung erzeugt wird.</translation>
    </message>
    <message>
        <source>At least one character must be set.</source>
        <translation>Mindestens ein Zeichen muss festgelegt sein.</translation>
    </message>
    <message>
        <source>Update Register successfully. Now it&apos;s:&quot;%1&quot;</source>
        <translation>Die Einstellung wurde gespeichert. Sie lautet jetzt: „%1“</translation>
    </message>
    <message>
        <source>Update Register error. You may try later.</source>
        <translation>Die Einstellung konnte nicht gespeichert werden. Versuchen Sie es später noch einmal.</translation>
    </message>
</context>
<context>
    <name>WindowPicker</name>
    <message>
        <source>Window Handle:0x%1.<byte value="xd"/>
Class Name:%2.</source>
        <translation>Fenster-Handle: 0x%1.<byte value="xd"/>
Klassenname: %2.</translation>
    </message>
</context>
</TS>
