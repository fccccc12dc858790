<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Pw::BatchEngine</name>
    <message>
        <source>内存不足，无法处理这张图片</source>
        <translation>Not enough memory to process this picture</translation>
    </message>
    <message>
        <source>您即将对演示图片进行处理，演示图片位于：</source>
        <translation>You are about to process the demo pictures, which are in:</translation>
    </message>
    <message>
        <source>如需继查看演示效果续请点“是”</source>
        <translation>To go on and see the demo, click &quot;Yes&quot;</translation>
    </message>
    <message>
        <source>如需变换其他文件夹请点“否”后返回第一步重新选择文件夹</source>
        <translation>To use another folder, click &quot;No&quot; and choose a folder again in step 1</translation>
    </message>
    <message>
        <source>演示</source>
        <translation>Demo</translation>
    </message>
    <message>
        <source>未选择任何图片或照片可供修改！</source>
        <translation>No picture or photo is selected to be changed!</translation>
    </message>
    <message>
        <source>无法创建输出文件夹%1：%2</source>
        <translation>Cannot create the output folder %1: %2</translation>
    </message>
    <message>
        <source>无法创建输出文件夹%1：同一秒内的运行过多</source>
        <translation>Cannot create the output folder %1: too many runs in the same second</translation>
    </message>
    <message>
        <source>正在处理(%1/%2)</source>
        <translation>Processing (%1/%2) </translation>
    </message>
    <message>
        <source>【以下是错误信息】</source>
        <translation>[Errors]</translation>
    </message>
    <message>
        <source>内存不足，无法保存这张图片</source>
        <translation>Not enough memory to save this picture</translation>
    </message>
    <message>
        <source>未能写入数码信息（%1），图片已保存但不含数码信息</source>
        <translation>Could not write the camera information (%1); the picture was saved without it</translation>
    </message>
    <message>
        <source>无法在%1创建临时文件夹（%2），本次不保留数码信息</source>
        <translation>Cannot create a scratch folder in %1 (%2); camera information is not kept in this run</translation>
    </message>
    <message>
        <source>背景图片无法使用（%1），本次不用背景图片</source>
        <translation>The background picture cannot be used (%1); this run goes on without it</translation>
    </message>
    <message>
        <source>背景图片有问题（%1）</source>
        <translation>The background picture has a problem (%1)</translation>
    </message>
    <message>
        <source>本次其余图片不再调用pwReadSM，都不含数码信息</source>
        <translation>pwReadSM is not started again in this run: the remaining pictures keep no camera information</translation>
    </message>
    <message>
        <source>未保留数码信息（pwReadSM已停用）</source>
        <translation>Camera information not kept (pwReadSM was stopped for this run)</translation>
    </message>
</context>
<context>
    <name>Pw::ColourProfile</name>
    <message>
        <source>色彩配置文件无法读取，按 sRGB 处理</source>
        <translation>The colour profile cannot be read; treated as sRGB</translation>
    </message>
</context>
<context>
    <name>Pw::CommandLine</name>
    <message>
        <source>显示此帮助</source>
        <translation>show this help</translation>
    </message>
    <message>
        <source>未知的选项</source>
        <translation>unknown option</translation>
    </message>
    <message>
        <source>不接受值</source>
        <translation>takes no value</translation>
    </message>
    <message>
        <source>缺少值</source>
        <translation>a value is missing</translation>
    </message>
</context>
<context>
    <name>Pw::Console</name>
    <message>
        <source>注意：</source>
        <translation>warning: </translation>
    </message>
    <message>
        <source>用法见 pixwright %1 --help</source>
        <translation>See &apos;pixwright %1 --help&apos;.</translation>
    </message>
</context>
<context>
    <name>Pw::FitGeometry</name>
    <message>
        <source>目标尺寸无效</source>
        <translation>Invalid target size</translation>
    </message>
    <message>
        <source>无法取得图片尺寸</source>
        <translation>Cannot get the picture size</translation>
    </message>
    <message>
        <source>处理方式无效</source>
        <translation>Invalid mode</translation>
    </message>
    <message>
        <source>目标尺寸超过JPEG所能保存的65500像素</source>
        <translation>The target size is beyond the 65500 pixels a JPEG can store</translation>
    </message>
</context>
<context>
    <name>Pw::FontColourDialog</name>
    <message>
        <source>黑色</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>褐红色</source>
        <translation>Maroon</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>橄榄色</source>
        <translation>Olive</translation>
    </message>
    <message>
        <source>深蓝色</source>
        <translation>Navy</translation>
    </message>
    <message>
        <source>紫色</source>
        <translation>Purple</translation>
    </message>
    <message>
        <source>深青色</source>
        <translation>Teal</translation>
    </message>
    <message>
        <source>灰色</source>
        <translation>Grey</translation>
    </message>
    <message>
        <source>银色</source>
        <translation>Silver</translation>
    </message>
    <message>
        <source>红色</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>酸橙色</source>
        <translation>Lime</translation>
    </message>
    <message>
        <source>黄色</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>紫红色</source>
        <translation>Fuchsia</translation>
    </message>
    <message>
        <source>水绿色</source>
        <translation>Aqua</translation>
    </message>
    <message>
        <source>白色</source>
        <translation>White</translation>
    </message>
    <message>
        <source>字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>常规</source>
        <translation>Regular</translation>
    </message>
    <message>
        <source>倾斜</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>粗体</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>粗偏斜体</source>
        <translation>Bold Italic</translation>
    </message>
    <message>
        <source>删除线(&amp;K)</source>
        <translation>Stri&amp;keout</translation>
    </message>
    <message>
        <source>下划线(&amp;U)</source>
        <translation>&amp;Underline</translation>
    </message>
    <message>
        <source>自定义…</source>
        <translation>Custom…</translation>
    </message>
    <message>
        <source>AaBbYyZz 汉字示例</source>
        <translation>AaBbYyZz 汉字示例</translation>
    </message>
    <message>
        <source>字体(&amp;F):</source>
        <translation>&amp;Font:</translation>
    </message>
    <message>
        <source>字形(&amp;Y):</source>
        <translation>Font st&amp;yle:</translation>
    </message>
    <message>
        <source>大小(&amp;S):</source>
        <translation>&amp;Size:</translation>
    </message>
    <message>
        <source>效果</source>
        <translation>Effects</translation>
    </message>
    <message>
        <source>颜色(&amp;C):</source>
        <translation>&amp;Colour:</translation>
    </message>
    <message>
        <source>示例</source>
        <translation>Sample</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
</context>
<context>
    <name>Pw::Frm1</name>
    <message>
        <source>【第1/3步:选择欲修改尺寸的图片或照片】</source>
        <translation>[Step 1/3: choose the pictures or photos to resize]</translation>
    </message>
    <message>
        <source>文件夹：</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>选择包含待处理图片的文件夹...</source>
        <translation>Choose the folder holding the pictures...</translation>
    </message>
    <message>
        <source>双击查看数码照片信息（如有）！</source>
        <translation>Double-click to see the camera information (if any)!</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>全不选</source>
        <translation>Select none</translation>
    </message>
    <message>
        <source>反选</source>
        <translation>Invert selection</translation>
    </message>
    <message>
        <source>刷新！</source>
        <translation>Refresh!</translation>
    </message>
    <message>
        <source>查看数码照片信息</source>
        <translation>Camera information</translation>
    </message>
    <message>
        <source>处理后保留数码相机拍摄照片所记录的信息</source>
        <translation>Keep the camera information of photos in the results</translation>
    </message>
    <message>
        <source>下一步(&amp;N)</source>
        <translation>&amp;Next</translation>
    </message>
    <message>
        <source>全选(</source>
        <translation>Select all (</translation>
    </message>
    <message>
        <source>全不选(</source>
        <translation>Select none (</translation>
    </message>
    <message>
        <source>请选择包含待处理图片的文件夹吧：</source>
        <translation>Choose the folder holding the pictures:</translation>
    </message>
    <message>
        <source>请先选择包含至少一个图片的文件夹！</source>
        <translation>First choose a folder holding at least one picture!</translation>
    </message>
    <message>
        <source>当此文件夹中图片发生变化时再刷新！</source>
        <translation>Refresh when the pictures in this folder change!</translation>
    </message>
    <message>
        <source>相片</source>
        <translation>Photo </translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Picture </translation>
    </message>
    <message>
        <source>→宽</source>
        <translation>→ </translation>
    </message>
    <message>
        <source>像素,高</source>
        <translation> × </translation>
    </message>
    <message>
        <source>像素,文件大小为:</source>
        <translation> pixels, file size </translation>
    </message>
    <message>
        <source>→生成于:</source>
        <translation>→ created: </translation>
    </message>
    <message>
        <source>   存取于:</source>
        <translation>   accessed: </translation>
    </message>
    <message>
        <source>   修改于:</source>
        <translation>   modified: </translation>
    </message>
    <message>
        <source>   拍摄于:</source>
        <translation>   taken: </translation>
    </message>
    <message>
        <source>注：可按住CTRL选择/不选任意的图片文件</source>
        <translation>Note: hold Ctrl to select or deselect any picture</translation>
    </message>
    <message>
        <source>所给的 %1 项都无法打开：不存在，或不是图片或文件夹。</source>
        <translation>None of the %1 items given could be opened: they do not exist, or are neither pictures nor folders.</translation>
    </message>
    <message>
        <source>只打开了“%1”中的图片；另有 %2 项不在这个文件夹中或不是图片，已略去。</source>
        <translation>Only the pictures of &apos;%1&apos; were opened; %2 more items are not in this folder or are not pictures and were left out.</translation>
    </message>
    <message>
        <source>其他格式</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>HEIC、HEIF、AVIF、WebP、TIFF</source>
        <translation>HEIC, HEIF, AVIF, WebP, TIFF</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>Cannot be read</translation>
    </message>
    <message>
        <source>→无法读取：</source>
        <translation>→ cannot be read: </translation>
    </message>
    <message>
        <source>,文件大小为:</source>
        <translation>, file size: </translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>不是普通文件（文件夹、设备或管道）</source>
        <translation>not a regular file (a folder, device or pipe)</translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>图片已损坏</source>
        <translation>the picture is damaged</translation>
    </message>
    <message>
        <source>不是图片文件</source>
        <translation>not a picture file</translation>
    </message>
    <message>
        <source>此文件夹不存在，没有列出任何图片</source>
        <translation>This folder does not exist; no picture is listed</translation>
    </message>
    <message>
        <source>没有勾选任何图片类型（JPG、PNG、BMP）</source>
        <translation>No picture type (JPG, PNG, BMP) is ticked</translation>
    </message>
    <message>
        <source>此文件夹中没有 %1 图片</source>
        <translation>No %1 pictures in this folder</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>没有选中任何图片，请在列表中至少选择一个图片！</source>
        <translation>No picture is selected; select at least one picture in the list!</translation>
    </message>
    <message>
        <source>文件夹“%1”不存在！</source>
        <translation>The folder &quot;%1&quot; does not exist!</translation>
    </message>
</context>
<context>
    <name>Pw::Frm2</name>
    <message>
        <source>【第2/3步:指定变形方式与压缩体积】</source>
        <translation>[Step 2/3: choose how pictures are fitted and compressed]</translation>
    </message>
    <message>
        <source>上一步(&amp;P)</source>
        <translation>&amp;Previous</translation>
    </message>
    <message>
        <source>下一步(&amp;N)</source>
        <translation>&amp;Next</translation>
    </message>
    <message>
        <source>跳过(&amp;S)</source>
        <translation>&amp;Skip</translation>
    </message>
    <message>
        <source>摄于 湖山远眺`^`Pixwright</source>
        <translation>摄于 湖山远眺`^`Pixwright</translation>
    </message>
    <message>
        <source>示意图</source>
        <translation>Illustration</translation>
    </message>
    <message>
        <source>效果预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>跳过本步，进入文件名批量修改功能！</source>
        <translation>Skip this step and go to renaming the files!</translation>
    </message>
    <message>
        <source>原图中心抠取！</source>
        <translation>Cut from the centre of the picture!</translation>
    </message>
    <message>
        <source>原图全图缩小或放大</source>
        <translation>The whole picture, reduced or enlarged</translation>
    </message>
    <message>
        <source>原图全图缩小或放大，自动判断未指定的另外一条边！</source>
        <translation>The whole picture, reduced or enlarged; the other edge follows by itself!</translation>
    </message>
    <message>
        <source>拉伸图片至指定尺寸</source>
        <translation>Stretch the picture to the given size</translation>
    </message>
    <message>
        <source>同比缩小与同比放大,100%时仅压缩体积不牺牲画质</source>
        <translation>Reduce or enlarge in proportion; at 100% only the file size is compressed, the quality kept</translation>
    </message>
    <message>
        <source>指定像素值，软件自动判断横版/竖版图：</source>
        <translation>Pixel sizes; landscape or portrait is told automatically:</translation>
    </message>
    <message>
        <source>使宽和高相等！长=短时，白边背景会被遮盖！</source>
        <translation>Make width and height equal! With long = short the border is covered!</translation>
    </message>
    <message>
        <source>像素</source>
        <translation> pixels</translation>
    </message>
    <message>
        <source>长边</source>
        <translation>Long edge</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>高</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>短边不低于</source>
        <translation>Short edge at least</translation>
    </message>
    <message>
        <source>长边不超过</source>
        <translation>Long edge at most</translation>
    </message>
    <message>
        <source>对1/2/3中原图宽和高均小于指定值时的小图，放大而不变形</source>
        <translation>Enlarge pictures smaller than the given sizes (modes 1/2/3)</translation>
    </message>
    <message>
        <source>允许小图放大？</source>
        <translation>Enlarge small pictures?</translation>
    </message>
    <message>
        <source>生成文件占用磁盘空间（文件体积大小）设置：</source>
        <translation>Disk space of the new files (file size):</translation>
    </message>
    <message>
        <source>不改变像素值，仅仅压缩体积</source>
        <translation>Keep the pixel size, only compress</translation>
    </message>
    <message>
        <source>存盘后文件体积不超限</source>
        <translation>Saved files no larger than</translation>
    </message>
    <message>
        <source>图上自行加字</source>
        <translation>Add a text to the pictures</translation>
    </message>
    <message>
        <source>字体/字色/字号</source>
        <translation>Font/colour/size</translation>
    </message>
    <message>
        <source>文字反白</source>
        <translation>Inverse text</translation>
    </message>
    <message>
        <source>点击选择反白背景色</source>
        <translation>Click to choose the background colour of inverse text</translation>
    </message>
    <message>
        <source>已选定的背景色，双击设置为黑色，右键设置为白色</source>
        <translation>The chosen background colour; double-click for black, right-click for white</translation>
    </message>
    <message>
        <source>宽：      像素</source>
        <translation>Width:      px</translation>
    </message>
    <message>
        <source>宽：      像素，高：      像素</source>
        <translation>Width:      px, height:      px</translation>
    </message>
    <message>
        <source>请先关闭字体对话框</source>
        <translation>Close the font dialog first</translation>
    </message>
    <message>
        <source>%1 × %2 像素</source>
        <translation>%1 × %2 pixels</translation>
    </message>
</context>
<context>
    <name>Pw::Frm3</name>
    <message>
        <source>【第3/3步:指定底图背景图或背景色】</source>
        <translation>[Step 3/3: choose the background picture or colour]</translation>
    </message>
    <message>
        <source>上一步(&amp;P)</source>
        <translation>&amp;Previous</translation>
    </message>
    <message>
        <source>完成(&amp;F)</source>
        <translation>&amp;Finish</translation>
    </message>
    <message>
        <source>点击选择背景色</source>
        <translation>Click to choose the background colour</translation>
    </message>
    <message>
        <source>已选定的背景色，双击设置为黑色，右键设置为白色</source>
        <translation>The chosen background colour; double-click for black, right-click for white</translation>
    </message>
    <message>
        <source>背景图：</source>
        <translation>Background picture:</translation>
    </message>
    <message>
        <source>选择背景图(&amp;G)...</source>
        <translation>Choose a back&amp;ground picture...</translation>
    </message>
    <message>
        <source>保存质量：</source>
        <translation>Saving quality: </translation>
    </message>
    <message>
        <source>命名规则(&amp;R)...</source>
        <translation>Naming &amp;rule...</translation>
    </message>
    <message>
        <source>文件重新命名...</source>
        <translation>Rename the files...</translation>
    </message>
    <message>
        <source>批量改名(&amp;B)</source>
        <translation>Rename in &amp;bulk</translation>
    </message>
    <message>
        <source>生成新图片的文件重新命名...</source>
        <translation>Names of the new pictures...</translation>
    </message>
    <message>
        <source>【第3/3步:确认完成】</source>
        <translation>[Step 3/3: confirm and finish]</translation>
    </message>
    <message>
        <source>背景图将拉伸为上步指定的宽和高，双击清除背景图</source>
        <translation>The background picture is stretched to the width and height of step 2; double-click to clear it</translation>
    </message>
    <message>
        <source>背景图将拉伸为上步指定的宽和高，双击选择背景图</source>
        <translation>The background picture is stretched to the width and height of step 2; double-click to choose one</translation>
    </message>
    <message>
        <source>选取一个背景图片</source>
        <translation>Choose a background picture</translation>
    </message>
    <message>
        <source>图片文件</source>
        <translation>Picture files</translation>
    </message>
    <message>
        <source>终止(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>文件批量改名已经完成！</source>
        <translation>The files have been renamed!</translation>
    </message>
    <message>
        <source>批量改名已终止：已改名 %1 个文件，其余文件保持原名。</source>
        <translation>Batch rename stopped: %1 files were renamed, the others keep their names.</translation>
    </message>
    <message>
        <source>撤销改名</source>
        <translation>Undo the rename</translation>
    </message>
    <message>
        <source>上一次批量改名后未动过的文件恢复原名</source>
        <translation>Files left untouched since the last bulk rename get their old names back</translation>
    </message>
    <message>
        <source>结果位置：</source>
        <translation>Results in:</translation>
    </message>
    <message>
        <source>每次处理的结果放在此处的“程序名_新图”文件夹中</source>
        <translation>Each run puts its results in the &quot;&lt;program&gt;_新图&quot; folder here</translation>
    </message>
    <message>
        <source>更改位置(&amp;L)...</source>
        <translation>Change &amp;location...</translation>
    </message>
    <message>
        <source>无法保存撤销记录（%1），这次改名不能撤销。</source>
        <translation>The undo record could not be saved (%1); this rename cannot be undone.</translation>
    </message>
    <message>
        <source>选择存放处理结果的位置</source>
        <translation>Choose where the results go</translation>
    </message>
</context>
<context>
    <name>Pw::FrmErr</name>
    <message>
        <source>图片处理报告</source>
        <translation>Processing report</translation>
    </message>
    <message>
        <source>结果目录：</source>
        <translation>Result folder: </translation>
    </message>
    <message>
        <source>接下来，您将要：</source>
        <translation>Next you want to:</translation>
    </message>
    <message>
        <source>关闭这个窗口后返回第一步</source>
        <translation>go back to step 1 after closing this window</translation>
    </message>
    <message>
        <source>关闭这个窗口后返回第二步</source>
        <translation>go back to step 2 after closing this window</translation>
    </message>
    <message>
        <source>关闭这个窗口后留在第三步</source>
        <translation>stay in step 3 after closing this window</translation>
    </message>
    <message>
        <source>去结果目录看看工作成果</source>
        <translation>open the result folder to see the work</translation>
    </message>
    <message>
        <source>将结果目录作为再次加工的图片源</source>
        <translation>use the result folder as the source for another run</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>（本次没有写出文件，未留下结果目录）</source>
        <translation>(this run wrote no file and left no result folder)</translation>
    </message>
    <message>
        <source>没有可用的文件管理器来打开结果目录。结果保存在：</source>
        <translation>No file manager could be started to open the result folder. The results are in:</translation>
    </message>
</context>
<context>
    <name>Pw::FrmRename</name>
    <message>
        <source>命名规则</source>
        <translation>Naming rule</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>Pw::FrmRename2</name>
    <message>
        <source>文件批量改名</source>
        <translation>Rename files in bulk</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Pw::FrmSM</name>
    <message>
        <source>数码照片信息查询</source>
        <translation>Camera information</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>Pw::InfoCommand</name>
    <message>
        <source>用法：pixwright info [--settings FILE] FILE...
显示每张图片记录的数码相机信息（EXIF）。
</source>
        <translation>Usage: pixwright info [--settings FILE] FILE...
Shows the camera information (Exif) each picture holds.
</translation>
    </message>
    <message>
        <source>退出状态：0 每个文件都已读取；1 有文件无法读取；2 用法错误。
</source>
        <translation>Exit status: 0 every file was read; 1 a file could not be read; 2 a usage error.
</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>this is a folder</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>不读取，为与其他命令一致而接受</source>
        <translation>not read; accepted like the other commands</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>cannot read %1: %2</translation>
    </message>
</context>
<context>
    <name>Pw::IniStore</name>
    <message>
        <source>pixwright：注意：设置文件%1%2，按没有设置文件处理，也不会写入</source>
        <translation>pixwright: note: the settings file %1 is %2; it is treated as absent and never written</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>大于 1 MB</source>
        <translation>larger than 1 MB</translation>
    </message>
</context>
<context>
    <name>Pw::InterruptAsStop</name>
    <message>
        <source>pixwright：处理完当前文件后停止（再按 Ctrl+C 立即退出）</source>
        <translation>pixwright: stopping after the file in hand (Ctrl+C again to quit at once)</translation>
    </message>
</context>
<context>
    <name>Pw::MemoryBudget</name>
    <message>
        <source>画布太大：%1×%2像素需要%3内存，超过本次处理的限额%4</source>
        <translation>Canvas too large: %1×%2 pixels need %3 of memory, more than this run may use (%4)</translation>
    </message>
    <message>
        <source>PIXWRIGHT_MEMORY_MB=%1 不在 %2 到 %3 之间，按 %4 处理</source>
        <translation>PIXWRIGHT_MEMORY_MB=%1 is not between %2 and %3; %4 is used</translation>
    </message>
</context>
<context>
    <name>Pw::ModeCaption</name>
    <message>
        <source>1.指定图形的宽和高，抛弃超出的部分，不缩放不变形，有白边</source>
        <translation>1. Width and height: the centre cut out, not scaled; with border</translation>
    </message>
    <message>
        <source>2.指定图形的宽和高，最大化可视原图，缩放而不变形，有白边</source>
        <translation>2. Width and height: the whole picture fitted in; with border</translation>
    </message>
    <message>
        <source>3.指定图形的  宽  ，最大化可视原图，缩放而不变形，无白边</source>
        <translation>3. Width: the whole picture, not distorted; no border</translation>
    </message>
    <message>
        <source>3.指定图形的  高  ，最大化可视原图，缩放而不变形，无白边</source>
        <translation>3. Height: the whole picture, not distorted; no border</translation>
    </message>
    <message>
        <source>3.指定图形的 长边 ，最大化可视原图，缩放而不变形，无白边</source>
        <translation>3. Long edge: the whole picture, not distorted; no border</translation>
    </message>
    <message>
        <source>4.指定图形的宽和高，图形撑满四周边框，缩放后变形，无白边</source>
        <translation>4. Width and height: the picture stretched to fill; no border</translation>
    </message>
    <message>
        <source>5.原图原样100%复制，不变形，此时不影响画质压缩体积，无白边</source>
        <translation>5. Copied at 100%: only compressed, quality kept; no border</translation>
    </message>
    <message>
        <source>5.原图按 %1 倍（允许5%-5倍）进行（缩）放，不变形，无白边</source>
        <translation>5. Scaled %1 times (5% to 5 times), not distorted; no border</translation>
    </message>
    <message>
        <source>5.原图按 %1% 比例(允许5%-5倍)进行缩(放)，不变形，无白边</source>
        <translation>5. Scaled to %1% (5% to 5 times), not distorted; no border</translation>
    </message>
</context>
<context>
    <name>Pw::NamingPattern</name>
    <message>
        <source>序号[自动]</source>
        <translation>number[auto]</translation>
    </message>
    <message>
        <source>[宽]x[高]</source>
        <translation>[width]x[height]</translation>
    </message>
    <message>
        <source>N(/D)[自动]</source>
        <translation>N(/D)[auto]</translation>
    </message>
    <message>
        <source>修改时间[自动]</source>
        <translation>modified[auto]</translation>
    </message>
    <message>
        <source>数码(/修改)时间[自动]</source>
        <translation>taken(/modified)[auto]</translation>
    </message>
    <message>
        <source>原文件名</source>
        <translation>old name</translation>
    </message>
</context>
<context>
    <name>Pw::NamingRule</name>
    <message>
        <source>间隔符号 </source>
        <translation>Separator </translation>
    </message>
    <message>
        <source>空格</source>
        <translation>blank</translation>
    </message>
    <message>
        <source>1.添加序号</source>
        <translation>1. Add a running number</translation>
    </message>
    <message>
        <source>2.文件名包括像素值</source>
        <translation>2. Pixel size in the name</translation>
    </message>
    <message>
        <source>3.区分出数码照片(D)与普通图片(N)</source>
        <translation>3. Mark camera photos D, other pictures N</translation>
    </message>
    <message>
        <source>4.添加保存质量(如Q85),不适用于更名</source>
        <translation>4. Quality (e.g. Q85); not when renaming</translation>
    </message>
    <message>
        <source>4.添加保存质量(如Q85)</source>
        <translation>4. Add the quality (e.g. Q85)</translation>
    </message>
    <message>
        <source>5.数码相片普通图片最后修改时间</source>
        <translation>5. Time last modified</translation>
    </message>
    <message>
        <source>6.数码相片拍摄时间，普通图片最后修改时间</source>
        <translation>6. Time taken, else time last modified</translation>
    </message>
    <message>
        <source>7.包括原文件名</source>
        <translation>7. Include the old name</translation>
    </message>
    <message>
        <source>请先勾选第一步中【处理后保留数码相机拍摄照片所记录的信息】后，此项才能生效！</source>
        <translation>This option works only after ticking [Keep the camera information of photos in the results] in step 1!</translation>
    </message>
    <message>
        <source>请至少勾选一项命名内容（改名时“4.添加保存质量”不算在内），否则新文件都将名为“.jpg”，成为看不见的隐藏文件！</source>
        <translation>Tick at least one naming part (option 4, the saving quality, does not count when renaming); otherwise every new file is named &quot;.jpg&quot; and becomes a hidden file!</translation>
    </message>
    <message>
        <source>命名规则中的“3.区分出数码照片(D)与普通图片(N)”只在保留数码信息时生效：不保留时，新文件名中不含D或N。</source>
        <translation>Naming option &quot;3. Mark camera photos D, other pictures N&quot; works only while the camera information is kept: without it, new file names carry no D or N.</translation>
    </message>
</context>
<context>
    <name>Pw::NativeFile</name>
    <message>
        <source>不是普通文件，无法读取</source>
        <translation>Not a regular file; it cannot be read</translation>
    </message>
</context>
<context>
    <name>Pw::PictureService</name>
    <message>
        <source>无法取得宽</source>
        <translation>Cannot get the width</translation>
    </message>
    <message>
        <source>无法取得高</source>
        <translation>Cannot get the height</translation>
    </message>
    <message>
        <source>显示失败!</source>
        <translation>Drawing failed!</translation>
    </message>
    <message>
        <source>创建失败</source>
        <translation>Creating failed</translation>
    </message>
    <message>
        <source>图片太大，解码后超过1 GB内存，无法载入</source>
        <translation>The picture is too large: decoded it would take more than 1 GB of memory</translation>
    </message>
    <message>
        <source>图片数据不完整</source>
        <translation>The picture data is incomplete</translation>
    </message>
    <message>
        <source>%1 图片数据已损坏，无法解码</source>
        <translation>The %1 picture data is damaged and cannot be decoded</translation>
    </message>
    <message>
        <source>不支持此 %1 图片：它的编码方式或格式变体未内置于本程序</source>
        <translation>This %1 picture is not supported: its coding or format variant is not built into this program</translation>
    </message>
    <message>
        <source>无法保存图片：%1</source>
        <translation>Cannot save the picture: %1</translation>
    </message>
    <message>
        <source>没有可保存的图片数据</source>
        <translation>no picture data to save</translation>
    </message>
    <message>
        <source>文件夹不存在</source>
        <translation>the folder does not exist</translation>
    </message>
</context>
<context>
    <name>Pw::Presets</name>
    <message>
        <source>我自己输入宽和高尺寸</source>
        <translation>My own width and height</translation>
    </message>
    <message>
        <source>相片冲印</source>
        <translation>Print </translation>
    </message>
    <message>
        <source>一寸照片</source>
        <translation>1-inch photo</translation>
    </message>
    <message>
        <source>小一寸照片</source>
        <translation>Small 1-inch photo</translation>
    </message>
    <message>
        <source>大一寸照片</source>
        <translation>Large 1-inch photo</translation>
    </message>
    <message>
        <source>二寸照片</source>
        <translation>2-inch photo</translation>
    </message>
    <message>
        <source>小二寸照片</source>
        <translation>Small 2-inch photo</translation>
    </message>
    <message>
        <source>大二寸照片</source>
        <translation>Large 2-inch photo</translation>
    </message>
    <message>
        <source>四寸照片</source>
        <translation>4-inch print</translation>
    </message>
    <message>
        <source>五寸照片</source>
        <translation>5-inch print</translation>
    </message>
    <message>
        <source>六寸照片</source>
        <translation>6-inch print</translation>
    </message>
    <message>
        <source>全景6寸照片</source>
        <translation>6-inch panorama print</translation>
    </message>
    <message>
        <source>七寸照片</source>
        <translation>7-inch print</translation>
    </message>
    <message>
        <source>八寸照片</source>
        <translation>8-inch print</translation>
    </message>
    <message>
        <source>十寸照片</source>
        <translation>10-inch print</translation>
    </message>
    <message>
        <source>十二寸照片</source>
        <translation>12-inch print</translation>
    </message>
    <message>
        <source>十四寸照片</source>
        <translation>14-inch print</translation>
    </message>
    <message>
        <source>16寸照片</source>
        <translation>16-inch print</translation>
    </message>
    <message>
        <source>十八寸照片</source>
        <translation>18-inch print</translation>
    </message>
    <message>
        <source>20照片</source>
        <translation>20-inch print</translation>
    </message>
    <message>
        <source>24寸照片</source>
        <translation>24-inch print</translation>
    </message>
    <message>
        <source>30寸照片</source>
        <translation>30-inch print</translation>
    </message>
    <message>
        <source>36寸照片</source>
        <translation>36-inch print</translation>
    </message>
    <message>
        <source>40寸照片</source>
        <translation>40-inch print</translation>
    </message>
    <message>
        <source>一代身份证照片</source>
        <translation>ID card photo, 1st gen.</translation>
    </message>
    <message>
        <source>二代身份证照片</source>
        <translation>ID card photo, 2nd gen.</translation>
    </message>
    <message>
        <source>驾驶证照片</source>
        <translation>Driving licence photo</translation>
    </message>
    <message>
        <source>黑白小一寸照片</source>
        <translation>Small 1-inch, black and white</translation>
    </message>
    <message>
        <source>彩色小一寸照片</source>
        <translation>Small 1-inch, colour</translation>
    </message>
    <message>
        <source>彩色大一寸照片</source>
        <translation>Large 1-inch, colour</translation>
    </message>
    <message>
        <source>护照照片</source>
        <translation>Passport photo</translation>
    </message>
    <message>
        <source>签证照片</source>
        <translation>Visa photo</translation>
    </message>
    <message>
        <source>学位证照片</source>
        <translation>Degree photo</translation>
    </message>
    <message>
        <source>毕业证照片</source>
        <translation>Diploma photo</translation>
    </message>
</context>
<context>
    <name>Pw::ProcessingOptions</name>
    <message>
        <source>请先关闭字体对话框</source>
        <translation>Close the font dialog first</translation>
    </message>
    <message>
        <source>注意</source>
        <translation>Attention</translation>
    </message>
    <message>
        <source>请填入长边数字</source>
        <translation>Enter a number for the long edge</translation>
    </message>
    <message>
        <source>请填入短边数字</source>
        <translation>Enter a number for the short edge</translation>
    </message>
</context>
<context>
    <name>Pw::RenameCommand</name>
    <message>
        <source>只改这张列出的图片（可重复；默认全部）</source>
        <translation>rename only this listed picture (repeatable; default: all)</translation>
    </message>
    <message>
        <source>列出的图片类型（默认：第一步记住的类型）</source>
        <translation>the picture types listed (default: as step 1 remembers them)</translation>
    </message>
    <message>
        <source>七位数字 0/1，依次打开名称部分（见下）</source>
        <translation>seven digits 0/1 switching the name parts on (see below)</translation>
    </message>
    <message>
        <source>间隔符号：%1 之一，或“空格”</source>
        <translation>the separator: one of %1, or &quot;空格&quot; for a blank</translation>
    </message>
    <message>
        <source>记住的规则、文件夹和类型从此文件读取（只读不写）</source>
        <translation>the remembered rule, folder and types come from FILE (read, never written)</translation>
    </message>
    <message>
        <source>真的改名（不加此项只显示新名字）</source>
        <translation>rename for real (without it only the new names are shown)</translation>
    </message>
    <message>
        <source>退出状态：0 完成；1 有文件无法改名或已停止；2 参数错误。
</source>
        <translation>Exit status: 0 done; 1 a rename was refused or the run stopped; 2 bad arguments.
</translation>
    </message>
    <message>
        <source>只能给出一个文件夹，却给了“%1”和“%2”</source>
        <translation>only one folder can be given, got &apos;%1&apos; and &apos;%2&apos;</translation>
    </message>
    <message>
        <source>文件不存在：%1</source>
        <translation>no such file: %1</translation>
    </message>
    <message>
        <source>没有给出，%1 也没有记住文件夹</source>
        <translation>none given and no folder remembered in %1</translation>
    </message>
    <message>
        <source>不是文件夹：%1</source>
        <translation>not a folder: %1</translation>
    </message>
    <message>
        <source>%1 中没有所选类型的图片</source>
        <translation>no pictures of the chosen types in %1</translation>
    </message>
    <message>
        <source>不是 %1 中列出的图片：%2</source>
        <translation>not a listed picture of %1: %2</translation>
    </message>
    <message>
        <source>没有改名；加 --yes 才会改名。</source>
        <translation>Nothing renamed; add --yes to rename.</translation>
    </message>
    <message>
        <source>已停止：选定的 %1 个文件中已改名 %2 个，其余保持原名。</source>
        <translation>Stopped: %2 of the %1 selected files were renamed; the others keep their names.</translation>
    </message>
    <message>
        <source>文件批量改名已经完成！</source>
        <translation>The files have been renamed!</translation>
    </message>
    <message>
        <source>撤销上一次改名：改名后未动过的文件恢复原名，从不覆盖文件</source>
        <translation>undo the last rename: files untouched since get their old names back; no file is ever replaced</translation>
    </message>
    <message>
        <source>用法：pixwright rename [FOLDER] [选项]
显示 FOLDER（默认：记住的文件夹）中的图片按命名规则将改成的名字；
加 --yes 就地改名，从不覆盖已有的文件；--undo 撤销上一次改名。
</source>
        <translation>Usage: pixwright rename [FOLDER] [options]
Shows the names the pictures of FOLDER (default: the remembered folder) get by the naming rule;
with --yes renames them in place, never replacing a file; --undo undoes the last rename.
</translation>
    </message>
    <message>
        <source>没有可以撤销的改名（%1）</source>
        <translation>there is no rename to undo (%1)</translation>
    </message>
    <message>
        <source>无法保存撤销记录%1（%2），这次改名不能撤销</source>
        <translation>cannot save the undo record %1 (%2); this rename cannot be undone</translation>
    </message>
</context>
<context>
    <name>Pw::RenameJournal</name>
    <message>
        <source>“%1” ← “%2”</source>
        <translation>&quot;%1&quot; ← &quot;%2&quot;</translation>
    </message>
    <message>
        <source>改名后文件已被修改</source>
        <translation>the file was changed after the rename</translation>
    </message>
    <message>
        <source>原文件名已被另一个文件占用</source>
        <translation>another file now has the old name</translation>
    </message>
    <message>
        <source>已撤销改名：%1 个文件恢复了原名。</source>
        <translation>Rename undone: %1 files have their old names back.</translation>
    </message>
    <message>
        <source>以下 %1 个文件保持现在的名字：</source>
        <translation>These %1 files keep their present names:</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>Pw::RenameOnlyRun</name>
    <message>
        <source>“%1”无法改名为“%2”：%3。在此之前已改名 %4 个文件，其余文件保持原名。</source>
        <translation>&quot;%1&quot; could not be renamed to &quot;%2&quot;: %3. %4 files were renamed before it; the others keep their names.</translation>
    </message>
    <message>
        <source>  将改为:</source>
        <translation>  becomes: </translation>
    </message>
    <message>
        <source>正在处理(%1/%2)%3</source>
        <translation>Processing (%1/%2) %3</translation>
    </message>
</context>
<context>
    <name>Pw::Report</name>
    <message>
        <source>【文件处理报告】</source>
        <translation>[Processing report]</translation>
    </message>
    <message>
        <source>共处理【%1】个文件，成功【%2】个！</source>
        <translation>[%1] files processed, [%2] succeeded!</translation>
    </message>
    <message>
        <source>→ 源文件大小：</source>
        <translation>→ Source size: </translation>
    </message>
    <message>
        <source> 处理后大小：</source>
        <translation> result size: </translation>
    </message>
    <message>
        <source> 压缩比率：</source>
        <translation> ratio: </translation>
    </message>
    <message>
        <source>→ 耗时：</source>
        <translation>→ Time: </translation>
    </message>
    <message>
        <source>→ 已中途停止：选中的%1个文件中有%2个未处理</source>
        <translation>→ Stopped: %2 of the %1 selected files were not processed</translation>
    </message>
</context>
<context>
    <name>Pw::ResultDrawing</name>
    <message>
        <source>第1步未预览图片</source>
        <translation>Step 1 shows no picture</translation>
    </message>
    <message>
        <source>尺寸过大，不预览</source>
        <translation>Too large to preview</translation>
    </message>
</context>
<context>
    <name>Pw::RunBackground</name>
    <message>
        <source>背景图片需要%1内存，超过本次处理的限额%2</source>
        <translation>The background picture needs %1 of memory, more than this run&apos;s limit of %2</translation>
    </message>
</context>
<context>
    <name>Pw::RunCommand</name>
    <message>
        <source>从此设置文件读取（只读不写）</source>
        <translation>read this settings file (never written)</translation>
    </message>
    <message>
        <source>只处理这张列出的图片（可重复）</source>
        <translation>process only this listed picture (repeatable)</translation>
    </message>
    <message>
        <source>列出的文件类型</source>
        <translation>file types to list</translation>
    </message>
    <message>
        <source>处理方式：1 裁切居中，2 完整缩入，3 定一边，4 拉伸，5 按百分比</source>
        <translation>mode: 1 centre cut, 2 fit inside, 3 one edge, 4 stretch, 5 per cent</translation>
    </message>
    <message>
        <source>宽（处理方式 1、2、4）</source>
        <translation>width (modes 1, 2, 4)</translation>
    </message>
    <message>
        <source>高（处理方式 1、2、4）</source>
        <translation>height (modes 1, 2, 4)</translation>
    </message>
    <message>
        <source>相片冲印尺寸（见下表），定下宽和高</source>
        <translation>a photo print size (see the table below): sets width and height</translation>
    </message>
    <message>
        <source>处理方式 3 固定哪一边：长边、宽或高</source>
        <translation>mode 3: the edge that is fixed, the long one, the width or the height</translation>
    </message>
    <message>
        <source>处理方式 3 那一边的长度</source>
        <translation>mode 3: the length of that edge</translation>
    </message>
    <message>
        <source>处理方式 5 的百分比</source>
        <translation>mode 5: the percentage</translation>
    </message>
    <message>
        <source>处理方式 5 缩小时高的下限</source>
        <translation>mode 5: the least height when reducing</translation>
    </message>
    <message>
        <source>处理方式 5 放大时宽的上限</source>
        <translation>mode 5: the greatest width when enlarging</translation>
    </message>
    <message>
        <source>放大比目标小的图片（处理方式 1、2、3）</source>
        <translation>enlarge pictures smaller than the target (modes 1, 2, 3)</translation>
    </message>
    <message>
        <source>文件体积上限，如 50K 或 2M</source>
        <translation>size limit of each file, e.g. 50K or 2M</translation>
    </message>
    <message>
        <source>保存质量 5..100，5 的倍数</source>
        <translation>saving quality 5..100, a multiple of 5</translation>
    </message>
    <message>
        <source>保留数码相机信息</source>
        <translation>keep the camera information</translation>
    </message>
    <message>
        <source>在图片中央加字（\n 换行）</source>
        <translation>text in the middle of each picture (\n breaks a line)</translation>
    </message>
    <message>
        <source>字体，如 &quot;宋体,10.5,bold&quot;</source>
        <translation>font, e.g. &quot;宋体,10.5,bold&quot;</translation>
    </message>
    <message>
        <source>文字颜色</source>
        <translation>text colour</translation>
    </message>
    <message>
        <source>文字反白（衬底色）</source>
        <translation>inverse text (on a background colour)</translation>
    </message>
    <message>
        <source>反白的衬底色</source>
        <translation>background colour of inverse text</translation>
    </message>
    <message>
        <source>背景色（处理方式 1、2）</source>
        <translation>background colour (modes 1, 2)</translation>
    </message>
    <message>
        <source>背景图片（处理方式 1、2）</source>
        <translation>background picture (modes 1, 2)</translation>
    </message>
    <message>
        <source>七位数字 0/1，依次打开名称部分（见下）</source>
        <translation>seven digits 0/1 switching the name parts on (see below)</translation>
    </message>
    <message>
        <source>间隔符号：%1 之一，或“空格”</source>
        <translation>the separator: one of %1, or &quot;空格&quot; for a blank</translation>
    </message>
    <message>
        <source>不问就处理演示图片</source>
        <translation>process the demo pictures without asking</translation>
    </message>
    <message>
        <source>相片冲印尺寸（--preset）：</source>
        <translation>Photo print sizes (--preset):</translation>
    </message>
    <message>
        <source>用法：pixwright run [FOLDER] [选项]
把 FOLDER（默认：记住的文件夹，否则演示图片）中的图片处理后存入
&lt;桌面&gt;/pixwright_新图/&lt;文件夹名&gt;/&lt;处理方式&gt;/&lt;日期_时间&gt;/。
未给出的选项取设置文件中记住的值。
</source>
        <translation>Usage: pixwright run [FOLDER] [options]
Resizes the pictures of FOLDER (default: the remembered folder, else the demo pictures)
into &lt;desktop&gt;/pixwright_新图/&lt;folder&gt;/&lt;mode&gt;/&lt;date_time&gt;/.
Options not given take the values the settings file remembers.
</translation>
    </message>
    <message>
        <source>退出状态：0 全部成功，1 有文件失败，2 参数错误，3 没有可处理的图片。
Ctrl+C 在处理完当前文件后停止，仍然输出报告。
</source>
        <translation>Exit status: 0 all succeeded, 1 some failed, 2 bad arguments, 3 nothing selected.
Ctrl+C stops after the file in hand and still prints the report.
</translation>
    </message>
    <message>
        <source>“%1”不可用；请给出 %2 到 %3 的整数</source>
        <translation>&apos;%1&apos; is not accepted; give a whole number from %2 to %3</translation>
    </message>
    <message>
        <source>“%1”不可用；颜色请写作 #RRGGBB</source>
        <translation>&apos;%1&apos; is not accepted; give a colour as #RRGGBB</translation>
    </message>
    <message>
        <source>只能给出一个文件夹，却给了“%1”和“%2”</source>
        <translation>only one folder can be given, got &apos;%1&apos; and &apos;%2&apos;</translation>
    </message>
    <message>
        <source>请给出一个文件夹</source>
        <translation>give a folder</translation>
    </message>
    <message>
        <source>“%1”不可用；请给出 long、width 或 height</source>
        <translation>&apos;%1&apos; is not accepted; give long, width or height</translation>
    </message>
    <message>
        <source>“%1”不可用；请给出至少为 1 的整数，后跟 K 或 M，如 50K 或 2M</source>
        <translation>&apos;%1&apos; is not accepted; give a whole number of at least 1 followed by K or M, e.g. 50K or 2M</translation>
    </message>
    <message>
        <source>“%1”不可用；请给出 5、10、…、100（5 的倍数）</source>
        <translation>&apos;%1&apos; is not accepted; give 5, 10, ..., 100 (a multiple of 5)</translation>
    </message>
    <message>
        <source>“%1”不可用；请写作 &quot;字体,大小[,bold][,italic][,underline][,strikeout]&quot;，大小为 1 到 500 磅</source>
        <translation>&apos;%1&apos; is not accepted; give &quot;FAMILY,SIZE[,bold][,italic][,underline][,strikeout]&quot; with SIZE in points from 1 to 500</translation>
    </message>
    <message>
        <source>“%1”不是文件</source>
        <translation>&apos;%1&apos; is not a file</translation>
    </message>
    <message>
        <source>--%1 只用于处理方式 %2，在处理方式 %3 中被忽略</source>
        <translation>--%1 is used only in mode %2; mode %3 ignores it</translation>
    </message>
    <message>
        <source>--width %1 取代了 --preset %2 给出的宽 %3</source>
        <translation>--width %1 replaces the width %3 that --preset %2 gives</translation>
    </message>
    <message>
        <source>--height %1 取代了 --preset %2 给出的高 %3</source>
        <translation>--height %1 replaces the height %3 that --preset %2 gives</translation>
    </message>
    <message>
        <source>有 --limit 时保存质量自动选定（从 85 起逐级降低，直到不超过体积上限），--quality %1 被忽略</source>
        <translation>with --limit the quality is chosen automatically (from 85 down until the file fits), so --quality %1 is ignored</translation>
    </message>
    <message>
        <source>“%1”不是文件夹</source>
        <translation>&apos;%1&apos; is not a folder</translation>
    </message>
    <message>
        <source>“%1”不在 %2 列出的图片中</source>
        <translation>&apos;%1&apos; is not among the pictures listed in %2</translation>
    </message>
    <message>
        <source>命名规则第 3 位（数码照片 D / 普通图片 N）需要保留数码信息（--keep-exif），此位按 0 处理</source>
        <translation>naming digit 3 (D for a camera photo, N otherwise) needs the camera information kept (--keep-exif); it is taken as 0</translation>
    </message>
    <message>
        <source>→ 是（--yes）</source>
        <translation>→ Yes (--yes)</translation>
    </message>
    <message>
        <source>→ 否（加 --yes 回答“是”）</source>
        <translation>→ No (add --yes to answer Yes)</translation>
    </message>
    <message>
        <source>演示图片没有处理</source>
        <translation>the demo pictures were not processed</translation>
    </message>
    <message>
        <source>结果目录：</source>
        <translation>Result folder: </translation>
    </message>
    <message>
        <source>无法确定当前文件夹的路径，请给出完整路径</source>
        <translation>the path of the current folder cannot be read; give a full path</translation>
    </message>
    <message>
        <source>结果放在 DIR 下（默认：第三步记住的位置，否则桌面文件夹）</source>
        <translation>put the results below DIR (default: the place step 3 remembers, else the desktop folder)</translation>
    </message>
</context>
<context>
    <name>Pw::SaveAndLimit</name>
    <message>
        <source>无法启动pwReadSM：%1</source>
        <translation>Cannot start pwReadSM: %1</translation>
    </message>
    <message>
        <source>pwReadSM超时未结束，已被终止</source>
        <translation>pwReadSM did not finish in time and was stopped</translation>
    </message>
    <message>
        <source>pwReadSM异常退出</source>
        <translation>pwReadSM crashed</translation>
    </message>
    <message>
        <source>pwReadSM出错（退出码%1）</source>
        <translation>pwReadSM failed (exit code %1)</translation>
    </message>
    <message>
        <source>无法写入临时文件%1</source>
        <translation>Cannot write the scratch file %1</translation>
    </message>
    <message>
        <source>无法读回临时文件%1</source>
        <translation>Cannot read back the scratch file %1</translation>
    </message>
    <message>
        <source>JPEG编码失败</source>
        <translation>JPEG encoding failed</translation>
    </message>
    <message>
        <source>无法满足限定的体积,请尝试缩小像素值</source>
        <translation>The size limit cannot be met; try fewer pixels</translation>
    </message>
    <message>
        <source>保存后找不到输出文件</source>
        <translation>The output file is missing after saving</translation>
    </message>
    <message>
        <source>没有可用的临时文件夹</source>
        <translation>No scratch folder is available</translation>
    </message>
    <message>
        <source>pwReadSM的结果不是%1×%2像素的JPEG图片，已改存不含数码信息的图片</source>
        <translation>pwReadSM&apos;s result is not a JPEG picture of %1×%2 pixels; the picture was saved without camera information</translation>
    </message>
</context>
<context>
    <name>Pw::SharedOptions</name>
    <message>
        <source>“%1”不是可用的间隔符号；可用的有 %2 和空格（写作“空格”或&quot; &quot;）</source>
        <translation>&apos;%1&apos; is not an accepted separator; give one of %2, or a blank (written &quot;空格&quot; or &quot; &quot;)</translation>
    </message>
    <message>
        <source>“%1”不可用；请给出七位 0 或 1，例如 0101001</source>
        <translation>&apos;%1&apos; is not accepted; give seven digits 0 or 1, e.g. 0101001</translation>
    </message>
    <message>
        <source>命名规则的七位数字依次打开以下名称部分（1 打开，0 关闭）：
  1 序号  2 像素尺寸  3 数码照片 D 或普通图片 N（需保留数码信息）
  4 保存质量（改名时不适用）  5 修改时间  6 拍摄时间  7 原文件名
</source>
        <translation>The seven digits of a naming rule switch these name parts on (1) or off (0), in order:
  1 running number  2 pixel size  3 D for a camera photo or N (needs the camera information kept)
  4 saving quality (not when renaming)  5 modification time  6 time of taking  7 the old name
</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <extracomment>The rule&apos;s seven digits, then why it is refused; the colon follows the language.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>“%1”不可用；请给出 jpg、png、bmp、heic、avif、webp、tiff 中的一个或几个，以逗号分隔</source>
        <translation>&apos;%1&apos; is not accepted; give one or more of jpg, png, bmp, heic, avif, webp, tiff separated by commas</translation>
    </message>
</context>
<context>
    <name>Pw::SizeTime</name>
    <message>
        <source>%1小时%2分钟%3.%4秒</source>
        <translation>%1 h %2 min %3.%4 s</translation>
    </message>
    <message>
        <source>剩余约%1秒</source>
        <translation>about %1 s left</translation>
    </message>
    <message>
        <source>剩余约%1分%2秒</source>
        <translation>about %1 min %2 s left</translation>
    </message>
    <message>
        <source>剩余约%1小时%2分</source>
        <translation>about %1 h %2 min left</translation>
    </message>
</context>
<context>
    <name>Pw::Summary</name>
    <message>
        <source>是</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>no</translation>
    </message>
    <message>
        <source>[横图竖图](</source>
        <translation>[landscape and portrait](</translation>
    </message>
    <message>
        <source>[宽]x自动判定值[高]</source>
        <translation>[width]x auto[height]</translation>
    </message>
    <message>
        <source>[横图竖图](自动判定值[宽]x</source>
        <translation>[landscape and portrait](auto[width]x</translation>
    </message>
    <message>
        <source>[高]</source>
        <translation>[height]</translation>
    </message>
    <message>
        <source>[横图](</source>
        <translation>[landscape](</translation>
    </message>
    <message>
        <source>[宽]*自动判定值[高]</source>
        <translation>[width]*auto[height]</translation>
    </message>
    <message>
        <source>或 [竖图](自动判定值[宽]*</source>
        <translation>or [portrait](auto[width]*</translation>
    </message>
    <message>
        <source>原图宽*</source>
        <translation>source width*</translation>
    </message>
    <message>
        <source>%[宽] x 原图高*</source>
        <translation>%[width] x source height*</translation>
    </message>
    <message>
        <source>%[高]</source>
        <translation>%[height]</translation>
    </message>
    <message>
        <source>[宽]x</source>
        <translation>[width]x</translation>
    </message>
    <message>
        <source>Q[自动]</source>
        <translation>Q[auto]</translation>
    </message>
    <message>
        <source>→ 保留数码信息：</source>
        <translation>→ Keep camera information: </translation>
    </message>
    <message>
        <source>→ 命名规则为：</source>
        <translation>→ Naming rule: </translation>
    </message>
    <message>
        <source>“[]中括号内的内容不会出现在文件名中”</source>
        <translation>&quot;What is in [] brackets does not appear in the file name&quot;</translation>
    </message>
    <message>
        <source>→ 处理方式为：</source>
        <translation>→ Mode: </translation>
    </message>
    <message>
        <source>→ 图片加字：</source>
        <translation>→ Text on pictures: </translation>
    </message>
    <message>
        <source>  文字反白：</source>
        <translation>  inverse text: </translation>
    </message>
    <message>
        <source>→ 限制体积：</source>
        <translation>→ Size limit: </translation>
    </message>
    <message>
        <source>不超过</source>
        <translation>at most </translation>
    </message>
    <message>
        <source>---======即将处理选定的【%1】个文件======---</source>
        <translation>---====== About to process the [%1] selected files ======---</translation>
    </message>
    <message>
        <source>以上信息如无误，请点击“完成”开始处理！</source>
        <translation>If all of the above is right, click &quot;Finish&quot; to start!</translation>
    </message>
    <message>
        <source>===============命名规则===============</source>
        <translation>=============== Naming rule ===============</translation>
    </message>
    <message>
        <source>即将处理选定的【%1】个文件</source>
        <translation>About to process the [%1] selected files</translation>
    </message>
    <message>
        <source>=======================================</source>
        <translation>=======================================</translation>
    </message>
    <message>
        <source>点击“批量改名”以继续</source>
        <translation>Click &quot;Rename in bulk&quot; to go on</translation>
    </message>
    <message>
        <source>按压“终止”按钮可结束图片处理</source>
        <translation>Press &quot;Cancel&quot; to end the processing</translation>
    </message>
    <message>
        <source>→ 即将处理：%1 个图片</source>
        <translation>→ Pictures to process: %1</translation>
    </message>
    <message>
        <source>→ 背景图：</source>
        <translation>→ Background picture: </translation>
    </message>
</context>
<context>
    <name>Pw::SystemError</name>
    <message>
        <source>磁盘已满</source>
        <translation>disk full</translation>
    </message>
    <message>
        <source>磁盘配额已用完</source>
        <translation>disk quota used up</translation>
    </message>
    <message>
        <source>只读文件系统</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>file does not exist</translation>
    </message>
    <message>
        <source>文件名太长</source>
        <translation>file name too long</translation>
    </message>
    <message>
        <source>文件已存在</source>
        <translation>file already exists</translation>
    </message>
    <message>
        <source>路径中的文件夹不存在</source>
        <translation>a folder in the path does not exist</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>this is a folder</translation>
    </message>
    <message>
        <source>磁盘读写出错</source>
        <translation>disk input/output error</translation>
    </message>
    <message>
        <source>文件正被使用</source>
        <translation>file in use</translation>
    </message>
    <message>
        <source>打开的文件过多</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>不在同一个磁盘上</source>
        <translation>not on the same disk</translation>
    </message>
    <message>
        <source>文件系统不接受这个名称</source>
        <translation>the file system does not accept this name</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>Pw::TagCatalogue</name>
    <message>
        <source>EXIF版本：</source>
        <translation>Exif version: </translation>
    </message>
    <message>
        <source>设备制造商：</source>
        <translation>Maker: </translation>
    </message>
    <message>
        <source>摄影机型号：</source>
        <translation>Camera model: </translation>
    </message>
    <message>
        <source>光圈：</source>
        <translation>Aperture: </translation>
    </message>
    <message>
        <source>快门：</source>
        <translation>Shutter: </translation>
    </message>
    <message>
        <source>ISO：</source>
        <translation>ISO: </translation>
    </message>
    <message>
        <source>拍照时间：</source>
        <translation>Taken: </translation>
    </message>
    <message>
        <source>相片尺寸：</source>
        <translation>Photo size: </translation>
    </message>
    <message>
        <source>此图片非数码照片或EXIF信息已被破坏</source>
        <translation>This picture is not a camera photo, or its Exif information is damaged</translation>
    </message>
    <message>
        <source>像素</source>
        <translation> pixels</translation>
    </message>
    <message>
        <source>：</source>
        <comment>after a tag name</comment>
        <translation>: </translation>
    </message>
</context>
<context>
    <name>Pw::TopLevel</name>
    <message>
        <source>pixwright：没有“%1”这个命令</source>
        <translation>pixwright: unknown command &apos;%1&apos;</translation>
    </message>
    <message>
        <source>pixwright：没有显示器，所以对演示图片运行批处理（详见 pixwright run --help）</source>
        <translation>pixwright: no display, so running the batch on the demo pictures (pixwright run --help tells more)</translation>
    </message>
    <message>
        <source>用法：pixwright [命令] [参数]
  run [FOLDER] [选项]      把 FOLDER 中的图片处理后存入桌面上的新文件夹
  rename [FOLDER] [...]    按命名规则就地给 FOLDER 中的图片改名
  info FILE...             显示图片中记录的数码相机信息
  --version                显示版本
  FOLDER | FILE...         在向导窗口中打开这个文件夹，或选中这些图片
没有命令时打开向导窗口。每个命令的详情见 pixwright 命令 --help。
</source>
        <translation>Usage: pixwright [COMMAND] [ARGS]
  run [FOLDER] [options]   resize the pictures of FOLDER into a new folder on the desktop
  rename [FOLDER] [...]    rename the pictures of FOLDER in place by the naming rule
  info FILE...             show the camera information stored in pictures
  --version                print the version
  FOLDER | FILE...         open the wizard on this folder, or with these pictures selected
Without a command the wizard opens. &apos;pixwright COMMAND --help&apos; tells more about each command.
</translation>
    </message>
    <message>
        <source>pixwright：没有显示器，无法在向导窗口中打开所给的图片（可用 pixwright run FOLDER 处理）</source>
        <translation>pixwright: no display, so the wizard cannot open the pictures given (pixwright run FOLDER processes them)</translation>
    </message>
</context>
</TS>
