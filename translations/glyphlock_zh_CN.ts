<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Drag the border of the window to resize the matrix.</source>
        <translation>拖动窗口边框即可调整图标矩阵的大小。</translation>
    </message>
    <message>
        <source>Click right or left mouse button on the icons to change them. There are some icons to be chosen if you click more than one time.</source>
        <translation>用鼠标左键或右键单击图标即可更换图标；多次单击可在多个图标之间依次切换。</translation>
    </message>
    <message>
        <source>Different matrix of the icons will generate totally different passwords long and secure enough when you press the OK button. <byte value="xd"/>
If you want to exit with out doing anything, just click the close button at the top-right corner of the window.</source>
        <translation>图标的排列不同，按下 OK 按钮后生成的密码也完全不同，而且足够长、足够安全。<byte value="xd"/>
如果想不做任何操作就退出，只需单击窗口右上角的关闭按钮。</translation>
    </message>
    <message>
        <source>You can design your own icons in the image to make it easier to remember.</source>
        <translation>你可以在图中使用自己设计的图标，让它更容易记住。</translation>
    </message>
    <message>
        <source>To add new icons, place the GIF or JPG files named g.gif(g.jpg), h.gif(h.jpg) ..., to the folder of the program.</source>
        <translation>要添加新图标，请将名为 g.gif (g.jpg)、h.gif (h.jpg) …… 的 GIF 或 JPG 文件放到程序所在的文件夹中。</translation>
    </message>
    <message>
        <source>To replace the 6 build-in icons, just place GIF or JPG files  named from a.gif(a.jpg) to f.gif(f.jpg) in the same folder with the program. If both the GIF and JPG files with the same name exist, the GIF file is used preferentially.</source>
        <translation>要替换 6 个内置图标，只需将名为 a.gif (a.jpg) 到 f.gif (f.jpg) 的 GIF 或 JPG 文件放到程序所在的文件夹中。如果同名的 GIF 和 JPG 文件同时存在，优先使用 GIF 文件。</translation>
    </message>
    <message>
        <source>WARNING: If you change the file name of an icon, the generated password may not correspond to the original image you have remembered before.</source>
        <translation>警告：如果更改了某个图标的文件名，生成的密码可能与你之前记住的图像不再对应。</translation>
    </message>
    <message>
        <source> You&apos;d better setup an icon set before you generate passwords and keep use it constantly. Of course, just adding new icons is safe. And it will enhance the security.</source>
        <translation>最好在生成密码之前就确定一套图标，并一直使用它。当然，只添加新图标是安全的，而且还能提高安全性。</translation>
    </message>
    <message>
        <source>About Glyphlock</source>
        <translation>关于 Glyphlock</translation>
    </message>
    <message>
        <source>Glyphlock Version 2.4</source>
        <translation>Glyphlock 版本 2.4</translation>
    </message>
    <message>
        <source>Copyright (C) Tamsk</source>
        <translation>版权所有 (C) Tamsk</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Usage</source>
        <extracomment>Heading of the notes on how to use the program.</extracomment>
        <translation>用法</translation>
    </message>
    <message>
        <source>Tips</source>
        <extracomment>Heading of the advice on pictures and passwords.</extracomment>
        <translation>提示</translation>
    </message>
    <message>
        <source>&amp;Config...</source>
        <extracomment>Opens the dialog that sets the special characters of passwords.</extracomment>
        <translation>设置(&amp;C)...</translation>
    </message>
</context>
<context>
    <name>HyperLink</name>
    <message>
        <source>The operating system is out
of memory or resources.</source>
        <translation>操作系统的内存
或资源不足。</translation>
    </message>
    <message>
        <source>The specified file was not found.</source>
        <translation>找不到指定的文件。</translation>
    </message>
    <message>
        <source>The specified path was not found.</source>
        <translation>找不到指定的路径。</translation>
    </message>
    <message>
        <source>The operating system denied
access to the specified file.</source>
        <translation>操作系统拒绝访问
指定的文件。</translation>
    </message>
    <message>
        <source>There was not enough memory to complete the operation.</source>
        <translation>内存不足，无法完成此操作。</translation>
    </message>
    <message>
        <source>The .EXE file is invalid
(non-Win32 .EXE or error in .EXE image).</source>
        <translation>.EXE 文件无效
（不是 Win32 .EXE 或 .EXE 映像有错误）。</translation>
    </message>
    <message>
        <source>A sharing violation occurred. </source>
        <translation>发生共享冲突。</translation>
    </message>
    <message>
        <source>The filename association is
incomplete or invalid.</source>
        <translation>文件关联
不完整或无效。</translation>
    </message>
    <message>
        <source>The DDE transaction could not
be completed because the request timed out.</source>
        <translation>DDE 事务请求超时，
无法完成。</translation>
    </message>
    <message>
        <source>The DDE transaction failed.</source>
        <translation>DDE 事务失败。</translation>
    </message>
    <message>
        <source>The DDE transaction could not
be completed because other DDE transactions
were being processed.</source>
        <translation>正在处理其他 DDE 事务，
无法完成此 DDE 事务。</translation>
    </message>
    <message>
        <source>There is no application associated
with the given filename extension.</source>
        <translation>没有与此文件扩展名
关联的应用程序。</translation>
    </message>
    <message>
        <source>The specified dynamic-link library was not found.</source>
        <translation>找不到指定的动态链接库。</translation>
    </message>
    <message>
        <source>Unknown Error (%1) occurred.</source>
        <translation>发生未知错误 (%1)。</translation>
    </message>
    <message>
        <source>Unable to open hyperlink:

</source>
        <translation>无法打开超链接：

</translation>
    </message>
</context>
<context>
    <name>MatrixDialog</name>
    <message>
        <source>OK</source>
        <extracomment>Spoken name of the picture button that makes the password from the grid.</extracomment>
        <translation>确定</translation>
    </message>
    <message>
        <source>About</source>
        <extracomment>Spoken name of the &quot;?&quot; picture button that opens the About box.</extracomment>
        <translation>关于</translation>
    </message>
    <message>
        <source>&amp;About Glyphlock and Usage...</source>
        <translation>关于 Glyphlock 及用法(&amp;A)...</translation>
    </message>
    <message>
        <source>C&amp;onfigure...</source>
        <translation>设置(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <extracomment>Takes back the last step of a grid cell.</extracomment>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>Resource not ready. The program may be broken.</source>
        <translation>资源未就绪，程序可能已损坏。</translation>
    </message>
</context>
<context>
    <name>MatrixGrid</name>
    <message>
        <source>Icon grid</source>
        <translation>图标矩阵</translation>
    </message>
    <message>
        <source>Arrow keys, Home and End move between the cells; Space steps the cell to the next icon, Shift+Space or Backspace to the one before.</source>
        <translation>方向键、Home 和 End 键在单元格之间移动；空格键将单元格切换到下一个图标，Shift+空格键或退格键切换到上一个图标。</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <source>Input password automatically:<byte value="xd"/>
Click in this area, keep the mouse button pressed, move the cursor to the password input box, then release the mouse button.</source>
        <translation>自动输入密码：<byte value="xd"/>
在此区域按住鼠标按键，将指针移到密码输入框上，然后松开鼠标按键。</translation>
    </message>
    <message>
        <source>If there&apos;re illegal characters in the password, config the character set by system menu &quot;Configure...&quot; or &quot;Config&quot; button on &quot;About&quot; dialog box</source>
        <translation>如果密码中有不允许的字符，请通过窗口菜单中的“设置...”或“关于”对话框中的“设置”按钮配置字符集。</translation>
    </message>
    <message>
        <source>Automatic input is not available on this display.<byte value="xd"/>
Use &quot;Copy to Clipboard&quot; and paste the password into the input box instead.</source>
        <translation>此显示环境不支持自动输入。<byte value="xd"/>
请改用“复制到剪贴板”，然后将密码粘贴到输入框中。</translation>
    </message>
    <message>
        <source>Nothing was typed: there is no input box where the mouse button was released.<byte value="xd"/>
Release it over the password input box, or use &quot;Copy to Clipboard&quot;.</source>
        <translation>没有输入任何内容：松开鼠标按键的位置没有输入框。<byte value="xd"/>
请在密码输入框上松开鼠标按键，或使用“复制到剪贴板”。</translation>
    </message>
    <message>
        <source>The password could not be typed into that window.<byte value="xd"/>
Use &quot;Copy to Clipboard&quot; and paste it into the input box instead.</source>
        <translation>无法将密码输入到该窗口。<byte value="xd"/>
请改用“复制到剪贴板”，然后将其粘贴到输入框中。</translation>
    </message>
    <message>
        <source>Input password automatically:<byte value="xd"/>
Click in this area, then click into the password input box of the other program.</source>
        <translation>自动输入密码：<byte value="xd"/>
先单击此区域，再单击另一个程序的密码输入框。</translation>
    </message>
    <message>
        <source>Now click into the password input box of the other program: the password is typed there.<byte value="xd"/>
Esc cancels; after 20 seconds this ends by itself.</source>
        <translation>现在请单击另一个程序的密码输入框，密码将输入到那里。<byte value="xd"/>
按 Esc 取消；20 秒后自动结束。</translation>
    </message>
    <message>
        <source>Waiting for the desktop to allow automatic input...</source>
        <translation>正在等待桌面允许自动输入……</translation>
    </message>
    <message>
        <source>The password was typed into the other program.<byte value="xd"/>
Click in this area to type it again.</source>
        <translation>密码已输入到另一个程序中。<byte value="xd"/>
单击此区域可再次输入。</translation>
    </message>
    <message>
        <source>The password holds characters that cannot be typed here; nothing was typed.<byte value="xd"/>
Use &quot;Copy to Clipboard&quot; and paste it into the input box instead.</source>
        <translation>密码中含有无法在此输入的字符，因此未输入任何内容。<byte value="xd"/>
请改用“复制到剪贴板”，然后将其粘贴到输入框中。</translation>
    </message>
    <message>
        <source>The desktop refused automatic input for Glyphlock.<byte value="xd"/>
Use &quot;Copy to Clipboard&quot; and paste the password into the input box instead.</source>
        <translation>桌面拒绝了 Glyphlock 的自动输入请求。<byte value="xd"/>
请改用“复制到剪贴板”，然后将密码粘贴到输入框中。</translation>
    </message>
    <message>
        <source>Automatic input was declined in the desktop&apos;s dialog.<byte value="xd"/>
Click in this area to be asked again, or use &quot;Copy to Clipboard&quot;.</source>
        <translation>已在桌面的对话框中拒绝自动输入。<byte value="xd"/>
单击此区域可再次询问，或使用“复制到剪贴板”。</translation>
    </message>
    <message>
        <source>This desktop keeps the clipboard only while Glyphlock runs: paste the password before you exit.</source>
        <translation>此桌面仅在 Glyphlock 运行期间保留剪贴板内容：请在退出前粘贴密码。</translation>
    </message>
    <message>
        <source>Show Generated Password</source>
        <translation>显示生成的密码</translation>
    </message>
    <message>
        <source>The Password is :</source>
        <translation>密码为：</translation>
    </message>
    <message>
        <source>C&amp;opy to Clipboard</source>
        <translation>复制到剪贴板(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>退出(&amp;E)</translation>
    </message>
    <message>
        <source>Failed to access clipboard!</source>
        <translation>无法访问剪贴板！</translation>
    </message>
</context>
<context>
    <name>SymbolSetDialog</name>
    <message>
        <source>Config</source>
        <extracomment>Title of the dialog that sets the special characters of passwords.</extracomment>
        <translation>设置</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <extracomment>Stores the special characters typed above.</extracomment>
        <translation>应用(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>What special characters can appear in the password:</source>
        <translation>密码中可以出现哪些特殊字符：</translation>
    </message>
    <message>
        <source>0~9, A~Z, a~z may appear by default. However, you may set any characters in above box to make your own password generation scheme.</source>
        <translation>默认情况下可以出现 0~9、A~Z、a~z。你还可以在上面的框中设置任意字符，形成自己的密码生成方案。</translation>
    </message>
    <message>
        <source>&amp;Original</source>
        <extracomment>Puts the default special characters back into the box.</extracomment>
        <translation>恢复默认(&amp;O)</translation>
    </message>
    <message>
        <source>This modification may influence the password generation algorithm. Your old password may NOT be generated after this. You&apos;d better write down the old password first, then update it to a new one by the new config.</source>
        <translation>此修改可能会影响密码的生成算法，之后可能无法再生成原来的密码。最好先记下旧密码，再按新的设置把它改成新密码。</translation>
    </message>
    <message>
        <source>At least one character must be set.</source>
        <translation>至少必须设置一个字符。</translation>
    </message>
    <message>
        <source>Update Register successfully. Now it&apos;s:&quot;%1&quot;</source>
        <translation>设置已保存。现在是：“%1”</translation>
    </message>
    <message>
        <source>Update Register error. You may try later.</source>
        <translation>设置保存失败，请稍后再试。</translation>
    </message>
</context>
<context>
    <name>WindowPicker</name>
    <message>
        <source>Window Handle:0x%1.<byte value="xd"/>
Class Name:%2.</source>
        <translation>窗口句柄：0x%1。<byte value="xd"/>
类名：%2。</translation>
    </message>
</context>
</TS>
