<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>KelvaraCli</name>
    <message numerus="yes">
        <source>Area &apos;%1&apos; renamed to &apos;%2&apos; (%n entries).</source>
        <translation>
            <numerusform>Area &apos;%1&apos; renamed to &apos;%2&apos; (%n entry).</numerusform>
            <numerusform>Area &apos;%1&apos; renamed to &apos;%2&apos; (%n entries).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Group &apos;%1&apos; renamed to &apos;%2&apos; (%n users).</source>
        <translation>
            <numerusform>Group &apos;%1&apos; renamed to &apos;%2&apos; (%n user).</numerusform>
            <numerusform>Group &apos;%1&apos; renamed to &apos;%2&apos; (%n users).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n holidays added.</source>
        <translation>
            <numerusform>%n holiday added.</numerusform>
            <numerusform>%n holidays added.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n holidays removed.</source>
        <translation>
            <numerusform>%n holiday removed.</numerusform>
            <numerusform>%n holidays removed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Project settings changed; the short range identifiers were widened to %n bytes.</source>
        <translation>
            <numerusform>Project settings changed; the short range identifiers were widened to %n byte.</numerusform>
            <numerusform>Project settings changed; the short range identifiers were widened to %n bytes.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n entries need an update.</source>
        <translation>
            <numerusform>%n entry needs an update.</numerusform>
            <numerusform>%n entries need an update.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rights</source>
        <translation>
            <numerusform>%n right</numerusform>
            <numerusform>%n rights</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n entries use the USB flash drive: name its folder with --drive.</source>
        <translation>
            <numerusform>%n entry uses the USB flash drive: name its folder with --drive.</numerusform>
            <numerusform>%n entries use the USB flash drive: name its folder with --drive.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The audit trail of %n records is intact.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>KelvaraEvents</name>
    <message numerus="yes">
        <source>%n user(s) let in since %1</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>KelvaraFunctionDialog</name>
    <message numerus="yes">
        <source>%n entries selected</source>
        <translation>
            <numerusform>%n entry selected</numerusform>
            <numerusform>%n entries selected</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>KelvaraMan</name>
    <message numerus="yes">
        <source>%n user entries exported to file</source>
        <translation>
            <numerusform>%n user entry exported to file</numerusform>
            <numerusform>%n user entries exported to file</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>KelvaraPublicHolidays</name>
    <message numerus="yes">
        <source>Holidays checked: %n</source>
        <translation>
            <numerusform>Holidays checked: %n</numerusform>
            <numerusform>Holidays checked: %n</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MyImportUsers</name>
    <message numerus="yes">
        <source>%n user entries imported from file</source>
        <translation>
            <numerusform>%n user entry imported from file</numerusform>
            <numerusform>%n user entries imported from file</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n lines not imported (other column count, no name and no valid IDD, a control character in a name, or name or IDD already in the project): line %1</source>
        <translation>
            <numerusform>%n line not imported (other column count, no name and no valid IDD, a control character in a name, or name or IDD already in the project): line %1</numerusform>
            <numerusform>%n lines not imported (other column count, no name and no valid IDD, a control character in a name, or name or IDD already in the project): lines %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n IDDs left out: they are no hexadecimal numbers of up to %1 digits:</source>
        <translation>
            <numerusform>%n IDD left out: it is no hexadecimal number of up to %1 digits:</numerusform>
            <numerusform>%n IDDs left out: they are no hexadecimal numbers of up to %1 digits:</numerusform>
        </translation>
    </message>
</context>
</TS>
